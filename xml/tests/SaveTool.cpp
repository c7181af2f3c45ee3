// Loads a document and saves it elsewhere: the process that the crash-safety
// test kills at each step of a save. Exit status 0 saved, 1 not saved,
// 2 not loaded.
#include <cstdio>

#include "xml/XMLParser.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: xml_save_tool SOURCE TARGET\n");
        return 2;
    }
    pw::XMLParser doc;
    if (!doc.load(argv[1])) {
        return 2;
    }
    std::string error;
    if (!doc.saveAs(argv[2], &error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    return 0;
}
