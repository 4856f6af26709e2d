// Fuzz target: the XML document wrapper (parse, walk every element, read, copy, print).
#include "P2PSDK/XmlDocument.h"

#include <string>

using namespace Orvan::Tou;

namespace {
void Walk(CXmlElement* e, CXmlElement& sink, int depth)
{
    for (CXmlElement* c = e->getChild(); c; c = c->getNextSibling()) {
        c->getText();
        c->getTextInt();
        c->getTextUint();
        c->getTextBool();
        c->getAttribute("a");
        if (c->getParent() != e)
            __builtin_trap();
        if (depth < 4)
            sink.appendChild(*c);
        Walk(c, sink, depth + 1);
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 65536)
        return 0;
    std::string text(reinterpret_cast<const char*>(data), size);
    CXmlDocument doc;
    if (doc.parse(text.c_str()) != 0)
        return 0;
    CXmlElement sink("sink");
    Walk(doc.getRoot(), sink, 0);
    doc.print();
    return 0;
}
