// The arrays a chunk of lines is bound as on PostgreSQL: the values come from a file, and every
// one of them must reach the server as the same text, or as NULL.

#include "ScopedApp.h"
#include "TestDatabases.h"
#include "db/PreparedLineStore.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {
const std::vector<std::optional<std::string>> Awkward{"a,b",  "say \"hi\"", "back\\slash", "{brace}", std::nullopt,
                                                      "NULL", "",           " padded ",    "it's",    "end\\"};

std::vector<const std::optional<std::string>*> pointersTo(const std::vector<std::optional<std::string>>& values)
{
    std::vector<const std::optional<std::string>*> pointers;
    pointers.reserve(values.size());
    for (const std::optional<std::string>& value : values)
        pointers.push_back(&value);
    return pointers;
}
} // namespace

TEST(TextArrayLiteral, EveryElementQuotedAndNullBare)
{
    EXPECT_EQ(textArrayLiteral(pointersTo(Awkward)),
              R"({"a,b","say \"hi\"","back\\slash","{brace}",NULL,"NULL",""," padded ","it's","end\\"})");
    EXPECT_EQ(textArrayLiteral({}), "{}");
}

// The server reads the literal back into the values, in order.
TEST(TextArrayLiteral, ServerReadsTheSameValues)
{
    const TestBackend postgres = testBackends().back();
    if (!postgres.available)
        GTEST_SKIP() << "PostgreSQL is not running here: scripts/test.sh starts a cluster";
    ScopedApp scoped;
    std::string literal = textArrayLiteral(pointersTo(Awkward));
    for (std::size_t at = literal.find('\''); at != std::string::npos; at = literal.find('\'', at + 2))
        literal.insert(at, 1, '\'');
    const auto rows = querySql(postgres, "select value from unnest(CAST('" + literal
                                             + "' AS text[])) with ordinality as u(value, place) order by place");
    ASSERT_EQ(rows.size(), Awkward.size());
    for (std::size_t at = 0; at < rows.size(); ++at) {
        ASSERT_EQ(rows[at].size(), 1u);
        EXPECT_EQ(rows[at][0], Awkward[at]) << "element " << at;
    }
}
