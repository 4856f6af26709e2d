// The checked XML parse shared by the settings, language and workbook readers: any input either
// parses within the limits or is refused with a reason, without exhausting the stack.
#include <cstddef>
#include <cstdint>
#include <string>

#include "Common/XmlGuard.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    TiXmlDocument doc;
    std::string why;
    if (xmlguard::ParseChecked(text, &doc, &why)) {
        // Walk what a reader walks: the root's children and their attributes.
        for (const TiXmlElement* e = doc.RootElement()->FirstChildElement(); e; e = e->NextSiblingElement()) {
            (void)e->Attribute("name");
            (void)e->Attribute("value");
            for (const TiXmlElement* c = e->FirstChildElement(); c; c = c->NextSiblingElement())
                (void)c->Attribute("value");
        }
    } else if (why.empty()) {
        __builtin_trap();  // a refusal always says why
    }
    return 0;
}
