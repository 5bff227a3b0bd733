// Writes BlueImg.bmp, AR_UP.bmp and AR_DN.bmp into the folder given as the only argument.

#include "components/res/ExBarResources.h"

#include <cstdio>
#include <fstream>
#include <string>

namespace {

bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_exbar_resources <folder>\n");
        return 2;
    }
    const std::string folder = argv[1];
    bool ok = WriteFile(folder + "/BlueImg.bmp", ombrevane::EncodeBmp24(ombrevane::MakeBlueImg()));
    ok =
        WriteFile(folder + "/AR_UP.bmp", ombrevane::EncodeGlyphBmp(ombrevane::GlyphRowsUp())) && ok;
    ok = WriteFile(folder + "/AR_DN.bmp", ombrevane::EncodeGlyphBmp(ombrevane::GlyphRowsDown())) &&
         ok;
    return ok ? 0 : 1;
}
