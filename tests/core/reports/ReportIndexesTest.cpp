#include "ScopedApp.h"
#include "db/Tables.h"
#include "db/ReportIndexes.h"
#include "reports/ReportRunner.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {
class ReportIndexes : public BackendTest {
protected:
    std::vector<std::string> indexNames(const std::string& table)
    {
        const bool sqlite = GetParam().name == "SQLite";
        const std::string sql =
            sqlite ? "select name from sqlite_master where type = 'index' and tbl_name = '" + table + "'"
                   : "select indexname from pg_indexes where tablename = lower('" + table + "')";
        std::vector<std::string> names;
        for (const auto& row : querySql(GetParam(), sql))
            if (row.front())
                names.push_back(*row.front());
        std::transform(names.begin(), names.end(), names.begin(), [](std::string name) {
            std::transform(name.begin(), name.end(), name.begin(), ::tolower);
            return name;
        });
        return names;
    }
    bool hasIndex(const std::string& table, const std::string& suffix)
    {
        std::string wanted = table + suffix;
        std::transform(wanted.begin(), wanted.end(), wanted.begin(), ::tolower);
        const auto names = indexNames(table);
        return std::find(names.begin(), names.end(), wanted) != names.end();
    }
    ScopedApp scoped;
};

TEST_P(ReportIndexes, NewTablesHaveThemAndOlderTablesGetThemWithTheirRows)
{
    const TestBackend& backend = GetParam();
    const std::string fresh = uniqueTableName("rptidx");
    ASSERT_EQ(createTables(fresh, "DEFAULT", backend.dsn, backend.user, backend.password), 1);
    EXPECT_TRUE(hasIndex(fresh, "_rpt_date"));
    EXPECT_TRUE(hasIndex(fresh, "_rpt_drive"));
    dropTables(fresh, backend.dsn, backend.user, backend.password, nullptr);

    // A table as an earlier version made it: no indexes, rows stored.
    const std::string older = uniqueTableName("rptold");
    ASSERT_TRUE(executeSql(backend, createTableStatement(TableKind::MountHistory, older, Dialect(2))));
    ASSERT_TRUE(executeSql(backend, "insert into " + older
                                        + " (ipAddress, Date, Time, Volser, Frame, Drive) values ('10.0.0.1', "
                                          "'2026-01-05', '08:00:00', 'VOL001', 1, 1), ('10.0.0.1', '2026-01-06', "
                                          "'08:00:00', 'VOL001', 1, 1)"));
    EXPECT_FALSE(hasIndex(older, "_rpt_date"));
    scoped.useBackend(backend, older);
    {
        ReportRequest request = ReportRequest::fromSettings("", "", {});
        ReportConnection connection(request);
        ASSERT_TRUE(connection.isOpen());
        EXPECT_TRUE(addReportIndexes(connection.statement(), older, Dialect(2)));
        // Twice is harmless.
        EXPECT_TRUE(addReportIndexes(connection.statement(), older, Dialect(2)));
    }
    EXPECT_TRUE(hasIndex(older, "_rpt_date"));
    EXPECT_TRUE(hasIndex(older, "_rpt_drive"));
    EXPECT_EQ(countRows(backend, older), 2);

    if (backend.name == "SQLite") {
        // A report's connection gathers the planner's statistics for the new indexes (the
        // benchmark shows what they are worth on a year of mounts).
        {
            ReportConnection report(ReportRequest::fromSettings("", "", {}));
        }
        EXPECT_EQ(querySql(backend, "select count(*) from sqlite_stat1 where tbl = '" + older + "'").front().front(),
                  std::optional<std::string>("2"));
    }
    executeSql(backend, "drop table " + older);
}

INSTANTIATE_TEST_SUITE_P(Databases, ReportIndexes, ::testing::ValuesIn(testBackends()), BackendName());
} // namespace
