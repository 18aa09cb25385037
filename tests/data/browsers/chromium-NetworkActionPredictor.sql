-- Chromium's "Network Action Predictor" database: the table
-- AutocompleteActionPredictorTable::CreateOrClearTablesIfNecessary creates in
-- chrome/browser/predictors/autocomplete_action_predictor_table.cc (Chromium source).
CREATE TABLE network_action_predictor(id TEXT PRIMARY KEY, user_text TEXT, url TEXT, number_of_hits INTEGER, number_of_misses INTEGER);
