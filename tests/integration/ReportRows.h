#pragma once

// Mount history rows for the text reports, written as the values they insert.

#include "TestDatabases.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// Each row holds address, date, time, volser, frame, drive, the five lifetime counters, the
// crypto status and the re-key count, as SQL literals; "%A" stands for the library's address.
inline void insertReportRows(const TestBackend& backend, const std::string& table, const std::string& address,
                             const std::vector<std::string>& rows)
{
    for (std::string values : rows) {
        if (const auto slot = values.find("%A"); slot != std::string::npos)
            values.replace(slot, 2, address);
        ASSERT_TRUE(executeSql(backend, "insert into " + table
                                            + " (ipAddress, Date, Time, Volser, Frame, Drive, Life_Mounts_Media, "
                                              "Life_Write_Retries_Media, Life_Write_Perms_Media, "
                                              "Life_Read_Retries_Media, Life_Read_Perms_Media, "
                                              "Mount_Crypto_Status, Mount_Crypto_Rekey) values ("
                                            + values + ")"))
            << values;
    }
}
