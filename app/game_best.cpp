// The best result in the registry.
#include "app/game_best.h"

namespace {

constexpr WCHAR kRegistryKey[] = L"Software\\Tumbral\\Tumbral";
constexpr WCHAR kBestMoves[] = L"Best Moves";
constexpr WCHAR kBestTime[] = L"Best Time";

bool QueryDword(HKEY hKey, const WCHAR* strName, DWORD* pdwValue) {
    DWORD dwType = 0, dwValue = 0, cbData = sizeof(DWORD);
    if (RegQueryValueExW(hKey, strName, nullptr, &dwType, reinterpret_cast<BYTE*>(&dwValue), &cbData) !=
        ERROR_SUCCESS)
        return false;
    if (dwType != REG_DWORD || cbData != sizeof(DWORD)) return false;
    *pdwValue = dwValue;
    return true;
}

}  // namespace

bool AppLoadBestResult(GameResult* pBest) {
    HKEY hKey = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kRegistryKey, 0, KEY_READ, &hKey) != ERROR_SUCCESS) return false;
    GameResult best{};
    const bool bRead =
        QueryDword(hKey, kBestMoves, &best.nMoves) && QueryDword(hKey, kBestTime, &best.nTenths);
    RegCloseKey(hKey);
    if (!bRead || best.nMoves == 0) return false;
    *pBest = best;
    return true;
}

bool AppSaveBestResult(const GameResult& best) {
    HKEY hKey = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kRegistryKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE,
                        nullptr, &hKey, nullptr) != ERROR_SUCCESS)
        return false;
    const bool bWritten =
        RegSetValueExW(hKey, kBestMoves, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&best.nMoves),
                       sizeof(DWORD)) == ERROR_SUCCESS &&
        RegSetValueExW(hKey, kBestTime, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&best.nTenths),
                       sizeof(DWORD)) == ERROR_SUCCESS;
    RegCloseKey(hKey);
    return bWritten;
}

GameResult AppRecordResult(const GameResult& result) {
    GameResult best{};
    if (AppLoadBestResult(&best) && !IsBetterResult(result, best)) return best;
    AppSaveBestResult(result);
    return result;
}
