// Reads a video file back with FFmpeg's libraries: what its probing tells
// (streams, size, frame rate, duration) and, decoded, every picture as
// top-down RGB and the sound as mono samples with their times.
#pragma once

#include <string>
#include <vector>

struct MediaInfo {
  std::string format;  // the demuxer's short names ("mov,mp4,m4a,...")
  std::string videoCodec, audioCodec;
  int width = 0, height = 0;
  double fps = 0;                                  // the video stream's frame rate
  double duration = 0;                             // seconds, of the whole file
  std::vector<std::vector<unsigned char>> frames;  // RGB, width x 3 bytes a row
  std::vector<double> frameTimes;                  // seconds
  int audioRate = 0;
  std::vector<float> audio;  // mono, from the file's start
};

// Reads a PNG file as RGB rows of width x 3 bytes.
bool ReadPng(const std::string& path, int& width, int& height, std::vector<unsigned char>& rgb);

// False when the file cannot be opened or probed.
bool ReadMedia(const std::string& path, MediaInfo& info, bool decode = true);
