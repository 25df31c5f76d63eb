// The table of built-in resources generated from resources/data at build time.
// Only the platform layer reads it, through its resource lookup.
#pragma once

struct OlvaneResourceEntry {
  const char* type;           // "BITMAP", "ICON", "CURSOR", "MENU", "STRING", ...
  unsigned int id;            // resource id
  const unsigned char* data;  // file bytes, followed by one zero byte
  unsigned long size;         // byte count without the trailing zero
};

extern const OlvaneResourceEntry g_olvaneResources[];
extern const unsigned long g_olvaneResourceCount;
