#pragma once
// The fixed places and names of an installation. Folders end in a separator
// because the fetch and unpack steps append bare file names to them.
namespace lunaro::app::names {

inline constexpr const char* kMainFolder = "c:\\Lunaro\\";
inline constexpr const char* kDatabaseFolder = "c:\\Lunaro\\Banco\\";
inline constexpr const char* kPafFolder = "c:\\LunaroPaf\\";

inline constexpr const char* kEngineLibrary = "ZipEngine190.dll";
inline constexpr const char* kEngineLibraryPath = "c:\\Lunaro\\ZipEngine190.dll";
inline constexpr const char* kMainPackage = "LunaroSoftInstalacao.zip";
inline constexpr const char* kPafPackage = "LunaroPafInstalacao.zip";
inline constexpr const char* kDatabaseClientPackage = "GDS32.zip";
inline constexpr const char* kDatabasePackage = "banco.zip";

inline constexpr const char* kMainConfig = "c:\\Lunaro\\CnfComercio.ini";
inline constexpr const char* kUpdaterConfig = "c:\\Lunaro\\Atualizador.ini";
inline constexpr const char* kPafConfig = "c:\\LunaroPaf\\PafEcf.ini";

// What the already-installed check looks at.
inline constexpr const char* kInstalledMarkerFile = "c:\\lunaro\\CnfComercio.ini";
inline constexpr const char* kInstalledMarkerFolder = "c:\\lunaro";

inline constexpr const char* kShortcutTarget = "C:\\Lunaro\\Atualizador.exe";
inline constexpr const char* kShortcutWorkingFolder = "C:\\Lunaro\\";
inline constexpr const char* kShortcutName = "Ventrix";

}  // namespace lunaro::app::names
