// An SQLite extension for the tests: the embedded store's own authorizer refuses what a
// restricted database user could not do, so that the reports' fallbacks can be tried on SQLite
// as on PostgreSQL. Loaded by the driver at connect (the data source's LoadExt), it refuses
// every statement that calls sum() or reads the columns Life_Read_Perms_Media or
// Mount_Crypto_Rekey; everything else runs as usual.
#include <sqlite3ext.h>
SQLITE_EXTENSION_INIT1

#include <strings.h>

namespace {
int refuse(void*, int action, const char* first, const char* second, const char*, const char*)
{
    if (action == SQLITE_FUNCTION && second != nullptr && strcasecmp(second, "sum") == 0)
        return SQLITE_DENY;
    if (action == SQLITE_READ && second != nullptr
        && (strcasecmp(second, "Life_Read_Perms_Media") == 0 || strcasecmp(second, "Mount_Crypto_Rekey") == 0))
        return SQLITE_DENY;
    (void)first;
    return SQLITE_OK;
}
} // namespace

extern "C" int sqlite3_extension_init(sqlite3* db, char**, const sqlite3_api_routines* api)
{
    SQLITE_EXTENSION_INIT2(api);
    return sqlite3_set_authorizer(db, refuse, nullptr);
}
