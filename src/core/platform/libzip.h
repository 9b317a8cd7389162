#pragma once

#include <QString>

#include <zip.h>

/// libzip, loaded the first time a spreadsheet is opened rather than when the program starts:
/// the modes that read none never map it, nor the crypto library it brings along.
namespace LibZip {

/// The functions of libzip the program calls, typed from its header.
struct Functions
{
    decltype(&zip_open) open;
    decltype(&zip_discard) discard;
    decltype(&zip_name_locate) nameLocate;
    decltype(&zip_stat_init) statInit;
    decltype(&zip_stat_index) statIndex;
    decltype(&zip_fopen_index) fopenIndex;
    decltype(&zip_get_error) getError;
    decltype(&zip_error_code_zip) errorCodeZip;
    decltype(&zip_fread) fread;
    decltype(&zip_fclose) fclose;
};

/// The functions, loaded once; nullptr when the library cannot be loaded.
const Functions *functions();

/// The message for a library that could not be loaded, with the loader's reason.
QString unavailableMessage();

} // namespace LibZip
