// olvane-mkskin: writes skin bitmaps.
//
//   olvane-mkskin FOLDER [--bits 8|16|24|all] [--name NAME] [--plain]
//
// writes the player's example skin as FOLDER/b24NAME.hpc (the depth in the
// name as the loader expects it; NAME defaults to "player"), zlib-compressed
// unless --plain.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "pravex/PravexVersion.h"
#include "sintra/widgets/HotBitmap.h"
#include "tools/mkskin/PlayerSkin.h"

namespace {

constexpr const char kUsage[] =
    "usage: olvane-mkskin FOLDER [--bits 8|16|24|all] [--name NAME] [--plain]\n"
    "       olvane-mkskin --help | --version\n";

int Usage() {
  std::fputs(kUsage, stderr);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
    std::printf("olvane-mkskin %s\n", GetPravexVersion());
    return 0;
  }
  if (argc < 2 || argv[1][0] == '-') return Usage();
  const std::string folder = argv[1];
  std::vector<int> depths = {24};
  std::string name = "player";
  bool plain = false;
  for (int i = 2; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--plain") {
      plain = true;
    } else if (arg == "--bits" && i + 1 < argc) {
      const std::string v = argv[++i];
      if (v == "all")
        depths = {8, 16, 24};
      else if (v == "8" || v == "16" || v == "24")
        depths = {std::stoi(v)};
      else
        return Usage();
    } else if (arg == "--name" && i + 1 < argc) {
      name = argv[++i];
    } else {
      return Usage();
    }
  }
  for (int bits : depths) {
    CHotBitmapWriter skin = MakePlayerSkin(bits);
    skin.SetCompressed(!plain);
    const std::string file = CHotBitmap::DepthFileName(("b##" + name + ".hpc").c_str(), bits);
    const std::string path = folder + (folder.empty() || folder.back() == '/' ? "" : "/") + file;
    if (!skin.WriteFile(path)) {
      std::fprintf(stderr, "olvane-mkskin: cannot write %s\n", path.c_str());
      return 1;
    }
    std::printf("%s: %d x %d, %d bits, %d hot spots\n", path.c_str(), skin.GetWidth(), skin.GetHeight(), bits,
                kPlayerSkinSpots);
  }
  return 0;
}
