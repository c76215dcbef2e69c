#include "store/older_schema.h"

#include <map>
#include <string>
#include <vector>

#include "store/harvest_store.h"

namespace brivano {
namespace {

struct Column {
  std::string name;
  std::string defaultValue;  // as SQL, empty when there is none
};

std::vector<std::string> TableNames(sql::Connection& db) {
  std::vector<std::string> names;
  sql::Statement tables = db.Prepare(
      "SELECT name FROM main.sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite_%'"
      " ORDER BY name");
  while (tables.Step()) names.emplace_back(tables.ColumnBytes(0));
  return names;
}

std::vector<Column> ColumnsOf(sql::Connection& db, const std::string& table) {
  std::vector<Column> columns;
  sql::Statement info = db.Prepare("SELECT name, dflt_value FROM pragma_table_info(?)");
  info.BindText(1, table);
  while (info.Step()) {
    columns.push_back({std::string(info.ColumnBytes(0)), std::string(info.ColumnBytes(1))});
  }
  return columns;
}

std::string Quoted(const std::string& name) {
  std::string quoted = "\"";
  for (char c : name) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  return quoted + "\"";
}

}  // namespace

void ShowOlderSchemaAsCurrent(sql::Connection& db) {
  // Today's schema, built where it costs nothing: an empty database in memory.
  sql::Connection today(":memory:");
  UpgradeStoreSchema(today, kStoreSchemaVersion);
  std::map<std::string, std::vector<Column>> old;
  for (const std::string& table : TableNames(db)) old[table] = ColumnsOf(db, table);

  for (const std::string& table : TableNames(today)) {
    const auto found = old.find(table);
    std::string select;
    bool complete = found != old.end();
    for (const Column& column : ColumnsOf(today, table)) {
      bool held = false;
      if (found != old.end()) {
        for (const Column& have : found->second) held = held || have.name == column.name;
      }
      complete = complete && held;
      if (!select.empty()) select += ", ";
      select += held ? Quoted(column.name)
                     : (column.defaultValue.empty() ? std::string("NULL") : column.defaultValue) +
                           " AS " + Quoted(column.name);
    }
    if (complete) continue;
    db.Execute("CREATE TEMP VIEW " + Quoted(table) + " AS SELECT " + select +
               (found != old.end() ? " FROM main." + Quoted(table) : std::string(" WHERE 0")));
  }
}

}  // namespace brivano
