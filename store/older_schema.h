// A store that an older version of the program wrote, read as if it were of
// today's schema without writing a byte of it: the exports and listings read
// one schema, whatever the file's age.
#pragma once

#include "store/sqlite.h"

namespace brivano {

// Puts a view in the connection's temporary schema in front of every table
// that `db`'s file lacks or holds with fewer columns than today's: a missing
// column reads as its default (NULL where it has none), a missing table as
// an empty one. Unqualified names find the temporary schema first, so every
// query of today's tables reads the views. The file itself is only read.
void ShowOlderSchemaAsCurrent(sql::Connection& db);

}  // namespace brivano
