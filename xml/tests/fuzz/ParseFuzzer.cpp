// Fuzz target: documents from arbitrary bytes. Besides crashes and hangs it
// checks that a UTF-8 file read straight from its bytes gives exactly what
// the same text gives once decoded to UTF-16.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "core/HeadlessUi.h"
#include "core/Utf.h"
#include "xml/TextFile.h"
#include "xml/XMLParser.h"

namespace {

class QuietUi : public pw::HeadlessUi {
public:
    int messageBox(const std::u16string&, const std::u16string&, unsigned) override {
        return pw::IdOk;
    }
};

void check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

std::u16string written(pw::XMLParser& doc) {
    return doc.getRoot() ? doc.getRoot()->toXmlString() : std::u16string();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    pw::installUi(std::make_unique<QuietUi>());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);

    pw::XMLParser fromBytes;
    const bool loaded = fromBytes.loadBytes(bytes);
    if (fromBytes.getRoot()) {
        // Walk, copy and write what was read.
        std::unique_ptr<pw::Element> copy = fromBytes.getRoot()->clone();
        check(copy->toXmlString() == written(fromBytes));
        copy->findFirst(u"SentenceGroup");
        fromBytes.toXmlText();
    }

    const bool bom = bytes.starts_with("\xEF\xBB\xBF");
    if (bom || (!bytes.starts_with("\xFF\xFE") && !bytes.starts_with("\xFE\xFF") &&
                pw::detectEncoding(bytes) == pw::kUtf8)) {
        std::string_view body(bytes);
        body.remove_prefix(bom ? 3 : 0);
        pw::XMLParser fromText;
        const bool parsed = fromText.parseString(pw::fromUtf8(body.substr(0, body.find('\0'))));
        check(parsed == loaded);
        check(written(fromText) == written(fromBytes));
        check(fromText.lastError().has_value() == fromBytes.lastError().has_value());
        if (fromText.lastError()) {
            check(fromText.lastError()->boxText == fromBytes.lastError()->boxText);
        }
    }

    // The same bytes as UTF-16 units.
    pw::XMLParser wide;
    wide.parseString(std::u16string(reinterpret_cast<const char16_t*>(data), size / 2));
    return 0;
}
