// Process-wide strings the support functions and the programs share: the
// capture name prefix, the project (folder and name) that output goes to, a
// comment, and the details of the last capture saved and loaded. They start
// empty; getters with a default give it while the value is empty. All of them
// may be used from any thread.
#pragma once

#include <string>

std::string GetCapturePrefix();  // "Capture" while unset
void SetCapturePrefix(const std::string& prefix);
std::string GetProjectName();  // "Default" while unset
void SetProjectName(const std::string& name);
std::string GetProjectFolder();
// A null folder leaves the current value as it is.
void SetProjectFolder(const char* folder);
void SetProjectFolder(const std::string& folder);
std::string GetComment();
void SetComment(const std::string& comment);

// Four strings describing where captures are saved; the third is the folder
// and the fourth the name prefix GetGoodRecordName numbers from.
void SetCaptureSaveDetails(const std::string& first, const std::string& second, const std::string& folder,
                           const std::string& prefix);
void GetCaptureSaveDetails(std::string& first, std::string& second, std::string& folder, std::string& prefix);

// Five strings describing the capture last loaded; kept for the programs.
void SetCaptureLoadDetails(const std::string& first, const std::string& second, const std::string& third,
                           const std::string& fourth, const std::string& fifth);
void GetCaptureLoadDetails(std::string& first, std::string& second, std::string& third, std::string& fourth,
                           std::string& fifth);
