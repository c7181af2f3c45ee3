// Writes the program's icon at the sizes of the desktop's icon theme:
//
//   pw_icon_sizes SOURCE.png OUTPUT-FOLDER NAME SIZE...
//
// makes OUTPUT-FOLDER/<size>x<size>/apps/NAME.png for every SIZE. Runs at
// build time without a display.
#include <cstdio>
#include <cstdlib>
#include <string>

#include <wx/filename.h>
#include <wx/image.h>
#include <wx/log.h>

int main(int argc, char** argv) {
    if (argc < 5) {
        std::fprintf(stderr, "usage: %s SOURCE.png OUTPUT-FOLDER NAME SIZE...\n", argv[0]);
        return 2;
    }
    wxLog::EnableLogging(false);  // failures are reported below, once
    wxImage::AddHandler(new wxPNGHandler);
    wxImage source;
    if (!source.LoadFile(wxString::FromUTF8(argv[1]), wxBITMAP_TYPE_PNG)) {
        std::fprintf(stderr, "%s: cannot read %s\n", argv[0], argv[1]);
        return 1;
    }
    for (int i = 4; i < argc; ++i) {
        const int size = std::atoi(argv[i]);
        if (size <= 0 || size > source.GetWidth() || size > source.GetHeight()) {
            // A larger icon would only be a blurred copy of the source.
            std::fprintf(stderr, "%s: size %s is not between 1 and the source's\n", argv[0],
                         argv[i]);
            return 2;
        }
        const std::string folder = std::string(argv[2]) + "/" + std::to_string(size) + "x" +
                                   std::to_string(size) + "/apps";
        const std::string path = folder + "/" + argv[3] + ".png";
        wxImage icon = source.Scale(size, size, wxIMAGE_QUALITY_HIGH);
        if (!wxFileName::Mkdir(wxString::FromUTF8(folder), 0755, wxPATH_MKDIR_FULL) ||
            !icon.SaveFile(wxString::FromUTF8(path), wxBITMAP_TYPE_PNG)) {
            std::fprintf(stderr, "%s: cannot write %s\n", argv[0], path.c_str());
            return 1;
        }
    }
    return 0;
}
