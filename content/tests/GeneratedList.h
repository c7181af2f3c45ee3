// A learning file of many records for the tests and the benchmark that show
// a large list.
#pragma once

#include <string>

namespace pw::test {

// UTF-8 XML with records numbered from 0: sentence "Sentence N is here.",
// a Japanese translation, a short explanation, and results on every record.
inline std::string generatedLearningFile(int records) {
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<SentenceList>\r\n";
    xml += "\t<description><![CDATA[A generated list.]]></description>\r\n";
    for (int i = 0; i < records; ++i) {
        const std::string n = std::to_string(i);
        xml += "\t<SentenceGroup check=\"" + std::to_string(i % 4) + "\" trialNumber=\"" +
               std::to_string(i % 120) + "\" dictationScore=\"" + std::to_string(i % 100) +
               ".5\" writingScore=\"\" startTime=\"" + std::to_string(i / 60) + ":" +
               std::to_string(i % 60) +
               ":00\">\r\n"
               "\t\t<sentence><![CDATA[Sentence " +
               n +
               " is here.]]></sentence>\r\n"
               "\t\t<translation><![CDATA[文 " +
               n +
               " はここにあります。]]></translation>\r\n"
               "\t\t<explanation><![CDATA[<b>here</b> 副詞]]></explanation>\r\n"
               "\t</SentenceGroup>\r\n";
    }
    return xml + "</SentenceList>\r\n";
}

}  // namespace pw::test
