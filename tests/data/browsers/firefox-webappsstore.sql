-- Firefox's webappsstore.sqlite (local storage before the per-origin storage folders,
-- still kept in profiles): the webappsstore2 table and its index as
-- dom/storage/StorageDBUpdater.cpp (mozilla-central, schema of Firefox 45 and later)
-- creates them. originKey is the reversed host, a dot, the scheme and the port.
CREATE TABLE webappsstore2 (originAttributes TEXT, originKey TEXT, scope TEXT, key TEXT, value TEXT);
CREATE UNIQUE INDEX origin_key_index ON webappsstore2(originAttributes, originKey, key);
