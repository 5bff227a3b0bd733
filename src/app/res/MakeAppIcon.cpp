// Writes Ombrevane.ico into the folder given as the only argument.

#include "app/res/AppIcon.h"

#include <cstdio>
#include <fstream>
#include <string>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_app_icon <folder>\n");
        return 2;
    }
    const std::string path = std::string(argv[1]) + "/Ombrevane.ico";
    const std::vector<std::uint8_t> bytes = ombrevane::EncodeAppIcon();
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        return 1;
    }
    return 0;
}
