// Reads the frames of a folder of PNG pictures (libpng): every *.png file,
// in name order, converted to 24-bit colour.
#pragma once

#include <string>
#include <vector>

#include "Canvas.h"

// The PNG files of a folder, sorted by name. False when the folder cannot be
// read or holds none.
bool ListPngFrames(const std::string& folder, std::vector<std::string>& files, std::string& error);
// Loads one PNG (any colour type and depth; alpha is dropped).
bool LoadPng(const std::string& path, CCanvas& canvas, std::string& error);
