// Reading default values of settings keys, for callers that look up
// registrations by root and path. The current user's root is the settings
// store itself; the class root is its "Software\Classes" tree, where
// per-user document registrations are kept.
#pragma once

#include <cstdint>
#include <string>

#include "platform/base/WinTypes.h"

using HKEY = std::uintptr_t;
constexpr HKEY HKEY_CLASSES_ROOT = 0x80000000u;
constexpr HKEY HKEY_CURRENT_USER = 0x80000001u;
constexpr HKEY HKEY_LOCAL_MACHINE = 0x80000002u;

constexpr LONG ERROR_SUCCESS = 0;
constexpr LONG ERROR_FILE_NOT_FOUND = 2;

// Reads the default (unnamed) string value of root\subKey into value.
// Returns ERROR_SUCCESS (0), or ERROR_FILE_NOT_FOUND when the root is not
// one the store holds, or the key or its default value is missing.
LONG GetRegKey(HKEY root, const std::string& subKey, std::string& value);
