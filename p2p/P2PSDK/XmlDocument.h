#ifndef ORVAN_TOU_XMLDOCUMENT_H
#define ORVAN_TOU_XMLDOCUMENT_H

#include <string>

class TiXmlDocument;
class TiXmlElement;

namespace Orvan {
namespace Tou {

// Handle to one element. Elements of a document get their handle when attached to it and keep it;
// a handle made by the caller owns its detached element.
class CXmlElement
{
public:
    explicit CXmlElement(const char* name = "");
    ~CXmlElement();
    CXmlElement(const CXmlElement&) = delete;
    // Replaces this element's content (name, attributes, children) by a copy of other's.
    CXmlElement& operator=(const CXmlElement& other);

    const char* getName() const;
    // The index-th child element with that name (any name when null).
    CXmlElement* getChild(const char* name = nullptr, int index = 0) const;
    CXmlElement* getNextSibling(const char* name = nullptr) const;
    CXmlElement* getParent() const;

    std::string getText() const;
    int getTextInt() const;
    unsigned getTextUint() const;
    double getTextDouble() const;
    bool getTextBool() const;

    std::string getAttribute(const char* name) const;
    int getAttributeInt(const char* name) const;
    unsigned getAttributeUint(const char* name) const;
    double getAttributeDouble(const char* name) const;
    bool getAttributeBool(const char* name) const;

    int setText(const char* text, bool cdata = false);
    int set(const char* name, const char* value, bool cdata = false);
    int set(const char* name, const std::string& value, bool cdata = false);
    int set(const char* name, int value);
    int set(const char* name, unsigned value);
    int set(const char* name, double value);
    int set(const char* name, bool value);

    int setAttribute(const char* name, const char* value);
    int setAttribute(const char* name, const std::string& value);
    int setAttribute(const char* name, int value);
    int setAttribute(const char* name, unsigned value);
    int setAttribute(const char* name, double value);
    int setAttribute(const char* name, bool value);

    int addChild(const char* name, const char* value, bool cdata = false);
    int addChild(const char* name, const std::string& value, bool cdata = false);
    int addChild(const char* name, int value);
    int addChild(const char* name, unsigned value);
    int addChild(const char* name, double value);
    int addChild(const char* name, bool value);
    int appendChild(const CXmlElement& element);

private:
    friend class CXmlDocument;
    CXmlElement(TiXmlElement* element, bool owned);
    static void attach(TiXmlElement* element);
    static void detach(TiXmlElement* element);
    static CXmlElement* handleOf(const TiXmlElement* element);
    int insertCopy(const TiXmlElement& element);

    TiXmlElement* m_element;
    bool m_owned;
};

class CXmlDocument
{
public:
    CXmlDocument();
    ~CXmlDocument();
    CXmlDocument(const CXmlDocument&) = delete;
    CXmlDocument& operator=(const CXmlDocument&) = delete;

    // 0 when the text parses and has a top-level element; -1 otherwise.
    int parse(const char* text);
    // encoding 0 unknown, 1 UTF-8, 2 legacy.
    bool load(const char* fileName, int encoding = 0);
    bool save(const char* fileName);
    CXmlElement* create(const char* version, const char* encoding, const char* standalone);
    CXmlElement* getRoot() const;
    const char* print(const char* indent = "    ", const char* lineBreak = "\n");

    // Deepest element nesting accepted by parse and load.
    static const int kMaxDepth = 128;

private:
    void reset();
    bool adoptRoot();

    TiXmlDocument* m_document;
    CXmlElement* m_root;
    std::string m_printed;
};

} // namespace Tou
} // namespace Orvan

#endif
