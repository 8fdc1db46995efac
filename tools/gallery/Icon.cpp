// zentor_icon <folder>: the tool's icon in every size of the desktop's icon theme, drawn by
// its own widget set, as <folder>/<N>x<N>/apps/zentor.png (the hicolor theme's layout).
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "GalleryPng.h"
#include "app/ToolIcon.h"
#include "platform/ui/Forms.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: zentor_icon <folder>\n");
        return 2;
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    TApplicationScope scope;  // the Qt application ends with main
    Application->Initialize();
    for (const int size : kToolIconSizes) {
        const std::string n = std::to_string(size);
        const std::filesystem::path folder = std::filesystem::path(argv[1]) / (n + "x" + n) / "apps";
        std::error_code ec;
        std::filesystem::create_directories(folder, ec);
        const std::string file = (folder / "zentor.png").string();
        if (ec || !WriteGalleryPng(*DrawToolIcon(size), file)) {
            std::fprintf(stderr, "zentor_icon: cannot write %s\n", file.c_str());
            return 1;
        }
    }
    return 0;
}
