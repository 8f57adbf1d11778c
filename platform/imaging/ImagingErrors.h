#pragma once
// Result codes of the imaging library stand-in and their texts. 1 is
// success; the negative codes are failures. The texts are the library's own
// (English), shown inside the imaging control's error messages.

#include <QString>

namespace platform::imaging {

enum Result : int {
    SUCCESS = 1,
    FAILURE = 0,
    SUCCESS_ABORT = 2,
    ERROR_NO_MEMORY = -1,
    ERROR_NO_BITMAP = -2,
    ERROR_MEMORY_TOO_LOW = -3,
    ERROR_FILE_LSEEK = -4,
    ERROR_FILE_WRITE = -5,
    ERROR_FILE_GONE = -6,
    ERROR_FILE_READ = -7,
    ERROR_INV_FILENAME = -8,
    ERROR_FILE_FORMAT = -9,
    ERROR_FILENOTFOUND = -10,
    ERROR_INV_RANGE = -11,
    ERROR_IMAGE_TYPE = -12,
    ERROR_INV_PARAMETER = -13,
    ERROR_FILE_OPEN = -14,
    ERROR_UNKNOWN_COMP = -15,
    ERROR_FEATURE_NOT_SUPPORTED = -16,
    // Internal: enough pages are loaded (never returned to a caller).
    ERROR_LOAD_ENOUGH = -29,
    ERROR_INV_STRUCT_SIZE = -789,
    // What the control reports in place of -789.
    ERROR_STRUCT_SIZE_REPORTED = -999,
};

// The text of a code; "Undefined Error: <code>" for a code without one.
QString errorText(int code);

} // namespace platform::imaging
