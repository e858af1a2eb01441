#pragma once

// String ids of the database connection's texts.
namespace StorageStrings {
constexpr int kFailToLink = 14100;    // "Fail to link database"
constexpr int kErrorCaption = 14101;  // "ERROR"
constexpr int kDatabaseError = 14102; // "Database Error:"
} // namespace StorageStrings
