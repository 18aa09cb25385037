-- Chromium's "Top Sites" database, version 5: the create statements of
-- components/test/data/history/TopSites.v5.sql in the Chromium source.
CREATE TABLE meta(key LONGVARCHAR NOT NULL UNIQUE PRIMARY KEY, value LONGVARCHAR);
INSERT INTO meta VALUES('version','5');
INSERT INTO meta VALUES('last_compatible_version','5');
CREATE TABLE top_sites (url TEXT NOT NULL PRIMARY KEY,url_rank INTEGER NOT NULL,title TEXT NOT NULL);
