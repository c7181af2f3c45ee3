// Texts with ruby annotations: the page that previews a text's readings, and
// the word and reading pairs taken back from such a page.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace pw {

// The preview page around ruby HTML (InputMethodEditor::reading with ruby):
// 20-pixel text, readings centred above their words in grey 12-pixel type,
// each line break of the text a line break of the page.
std::u16string rubyPreviewPage(std::u16string_view rubyHtml);

// The pairs of every <ruby> element of html, in order: the text of its base
// (its <rb> elements, or what stands outside <rt> and <rp>) and the text of
// its <rt> elements, without tags and line breaks, character references
// decoded. Elements without base or reading are left out.
std::vector<std::pair<std::u16string, std::u16string>> rubyPairs(std::u16string_view html);

}  // namespace pw
