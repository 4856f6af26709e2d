#include "P2PSDK/XmlDocument.h"

#include <tinyxml.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <new>
#include <strings.h>

namespace Orvan {
namespace Tou {

namespace {

// Rough element nesting of a text: the parser recurses per level, so deep texts are refused first.
int nestingDepth(const char* text)
{
    int depth = 0, deepest = 0;
    for (const char* p = text; *p; ++p) {
        if (*p != '<')
            continue;
        if (p[1] == '/') {
            --depth;
        } else if (p[1] != '?' && p[1] != '!') {
            ++depth;
            const char* close = std::strchr(p, '>');
            if (close && close > p && close[-1] == '/')
                --depth;
        }
        if (depth > deepest)
            deepest = depth;
    }
    return deepest;
}

// Strict UTF-8 (no stray continuation bytes, no cut or over-long sequences): the parser steps over
// multi-byte characters by their lead byte and would run past the end of a cut one.
bool isWellFormedUtf8(const char* text)
{
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
    while (*p) {
        unsigned c = *p;
        int extra = c < 0x80 ? 0 : (c >= 0xC2 && c <= 0xDF) ? 1 : (c >= 0xE0 && c <= 0xEF) ? 2
                                                               : (c >= 0xF0 && c <= 0xF4) ? 3 : -1;
        if (extra < 0)
            return false;
        for (int i = 1; i <= extra; ++i)
            if ((p[i] & 0xC0) != 0x80)
                return false; // also stops at the terminating NUL
        if ((c == 0xE0 && p[1] < 0xA0) || (c == 0xF0 && p[1] < 0x90) || (c == 0xF4 && p[1] > 0x8F) ||
            (c == 0xED && p[1] > 0x9F))
            return false;
        p += 1 + extra;
    }
    return true;
}

void clearHandles(TiXmlElement* element)
{
    element->SetUserData(nullptr);
    for (TiXmlElement* c = element->FirstChildElement(); c; c = c->NextSiblingElement())
        clearHandles(c);
}

unsigned leadingUnsigned(const char* text)
{
    unsigned value = 0;
    for (const char* p = text; p && std::isdigit(static_cast<unsigned char>(*p)); ++p)
        value = value * 10 + unsigned(*p - '0');
    return value;
}

std::string numberText(int v) { char b[32]; std::snprintf(b, sizeof(b), "%d", v); return b; }
std::string numberText(unsigned v) { char b[32]; std::snprintf(b, sizeof(b), "%u", v); return b; }
std::string numberText(double v) { char b[512]; std::snprintf(b, sizeof(b), "%f", v); return b; }
const char* flagText(bool v) { return v ? "true" : "false"; }

} // namespace

CXmlElement::CXmlElement(const char* name) : m_element(new TiXmlElement(name ? name : "")), m_owned(true)
{
    m_element->SetUserData(this);
}

CXmlElement::CXmlElement(TiXmlElement* element, bool owned) : m_element(element), m_owned(owned) {}

CXmlElement::~CXmlElement()
{
    if (!m_owned)
        return;
    for (TiXmlElement* c = m_element->FirstChildElement(); c; c = c->NextSiblingElement())
        detach(c);
    delete m_element;
}

CXmlElement* CXmlElement::handleOf(const TiXmlElement* element)
{
    return element ? static_cast<CXmlElement*>(const_cast<void*>(element->GetUserData())) : nullptr;
}

void CXmlElement::attach(TiXmlElement* element)
{
    if (!element->GetUserData())
        element->SetUserData(new CXmlElement(element, false));
    for (TiXmlElement* c = element->FirstChildElement(); c; c = c->NextSiblingElement())
        attach(c);
}

void CXmlElement::detach(TiXmlElement* element)
{
    for (TiXmlElement* c = element->FirstChildElement(); c; c = c->NextSiblingElement())
        detach(c);
    CXmlElement* handle = handleOf(element);
    if (handle && !handle->m_owned) {
        element->SetUserData(nullptr);
        delete handle;
    }
}

CXmlElement& CXmlElement::operator=(const CXmlElement& other)
{
    if (this == &other)
        return *this;
    for (TiXmlElement* c = m_element->FirstChildElement(); c; c = c->NextSiblingElement())
        detach(c);
    void* self = m_element->GetUserData();
    *m_element = *other.m_element; // copies name, attributes, children and their handle pointers
    clearHandles(m_element);
    m_element->SetUserData(self);
    for (TiXmlElement* c = m_element->FirstChildElement(); c; c = c->NextSiblingElement())
        attach(c);
    return *this;
}

const char* CXmlElement::getName() const { return m_element->Value(); }

CXmlElement* CXmlElement::getChild(const char* name, int index) const
{
    const TiXmlElement* c = name ? m_element->FirstChildElement(name) : m_element->FirstChildElement();
    for (int i = 0; c && i < index; ++i)
        c = name ? c->NextSiblingElement(name) : c->NextSiblingElement();
    return handleOf(c);
}

CXmlElement* CXmlElement::getNextSibling(const char* name) const
{
    return handleOf(name ? m_element->NextSiblingElement(name) : m_element->NextSiblingElement());
}

CXmlElement* CXmlElement::getParent() const
{
    const TiXmlNode* parent = m_element->Parent();
    return parent ? handleOf(parent->ToElement()) : nullptr;
}

std::string CXmlElement::getText() const
{
    const char* t = m_element->GetText();
    return t ? t : "";
}
int CXmlElement::getTextInt() const { return std::atoi(getText().c_str()); }
unsigned CXmlElement::getTextUint() const { return leadingUnsigned(getText().c_str()); }
double CXmlElement::getTextDouble() const { return std::atof(getText().c_str()); }
bool CXmlElement::getTextBool() const { return strcasecmp(getText().c_str(), "true") == 0; }

std::string CXmlElement::getAttribute(const char* name) const
{
    const char* v = name ? m_element->Attribute(name) : nullptr;
    return v ? v : "";
}
int CXmlElement::getAttributeInt(const char* n) const { return std::atoi(getAttribute(n).c_str()); }
unsigned CXmlElement::getAttributeUint(const char* n) const { return leadingUnsigned(getAttribute(n).c_str()); }
double CXmlElement::getAttributeDouble(const char* n) const { return std::atof(getAttribute(n).c_str()); }
bool CXmlElement::getAttributeBool(const char* n) const { return strcasecmp(getAttribute(n).c_str(), "true") == 0; }

int CXmlElement::setText(const char* text, bool cdata)
{
    if (!text)
        return -1;
    TiXmlNode* first = m_element->FirstChild();
    if (!first) {
        TiXmlText node(text);
        node.SetCDATA(cdata);
        return m_element->InsertEndChild(node) ? 0 : -1;
    }
    TiXmlText* existing = first->ToText();
    if (!existing)
        return -1;
    existing->SetValue(text);
    existing->SetCDATA(cdata);
    return 0;
}

int CXmlElement::set(const char* name, const char* value, bool cdata)
{
    if (!name || !value)
        return -1;
    TiXmlNode* first = m_element->FirstChild();
    if (first && !first->ToText())
        return -1;
    m_element->SetValue(name);
    return setText(value, cdata);
}
int CXmlElement::set(const char* n, const std::string& v, bool cdata) { return set(n, v.c_str(), cdata); }
int CXmlElement::set(const char* n, int v) { return set(n, numberText(v)); }
int CXmlElement::set(const char* n, unsigned v) { return set(n, numberText(v)); }
int CXmlElement::set(const char* n, double v) { return set(n, numberText(v)); }
int CXmlElement::set(const char* n, bool v) { return set(n, flagText(v)); }

int CXmlElement::setAttribute(const char* name, const char* value)
{
    if (!name || !value)
        return -1;
    m_element->SetAttribute(name, value);
    return 0;
}
int CXmlElement::setAttribute(const char* n, const std::string& v) { return setAttribute(n, v.c_str()); }
int CXmlElement::setAttribute(const char* n, int v) { return setAttribute(n, numberText(v)); }
int CXmlElement::setAttribute(const char* n, unsigned v) { return setAttribute(n, numberText(v)); }
int CXmlElement::setAttribute(const char* n, double v) { return setAttribute(n, numberText(v)); }
int CXmlElement::setAttribute(const char* n, bool v) { return setAttribute(n, flagText(v)); }

int CXmlElement::insertCopy(const TiXmlElement& element)
{
    TiXmlNode* inserted = m_element->InsertEndChild(element);
    if (!inserted || !inserted->ToElement())
        return -1;
    clearHandles(inserted->ToElement()); // the copy carries the source's handle pointers
    attach(inserted->ToElement());
    return 0;
}

int CXmlElement::addChild(const char* name, const char* value, bool cdata)
{
    if (!name || !value)
        return -1;
    TiXmlElement child(name);
    TiXmlText text(value);
    text.SetCDATA(cdata);
    child.InsertEndChild(text);
    return insertCopy(child);
}
int CXmlElement::addChild(const char* n, const std::string& v, bool cdata) { return addChild(n, v.c_str(), cdata); }
int CXmlElement::addChild(const char* n, int v) { return addChild(n, numberText(v)); }
int CXmlElement::addChild(const char* n, unsigned v) { return addChild(n, numberText(v)); }
int CXmlElement::addChild(const char* n, double v) { return addChild(n, numberText(v)); }
int CXmlElement::addChild(const char* n, bool v) { return addChild(n, flagText(v)); }

int CXmlElement::appendChild(const CXmlElement& element)
{
    TiXmlElement copy(*element.m_element);
    return insertCopy(copy);
}

CXmlDocument::CXmlDocument() : m_document(new TiXmlDocument), m_root(nullptr) {}

CXmlDocument::~CXmlDocument()
{
    reset();
    delete m_document;
}

void CXmlDocument::reset()
{
    for (TiXmlElement* e = m_document->FirstChildElement(); e; e = e->NextSiblingElement())
        CXmlElement::detach(e);
    m_document->Clear();
    m_root = nullptr;
}

bool CXmlDocument::adoptRoot()
{
    TiXmlElement* root = m_document->RootElement();
    if (m_document->Error() || !root) {
        reset();
        return false;
    }
    CXmlElement::attach(root);
    m_root = CXmlElement::handleOf(root);
    return true;
}

int CXmlDocument::parse(const char* text)
{
    reset();
    if (!text || nestingDepth(text) > kMaxDepth || !isWellFormedUtf8(text))
        return -1;
    m_document->Parse(text);
    return adoptRoot() ? 0 : -1;
}

bool CXmlDocument::load(const char* fileName, int encoding)
{
    reset();
    if (!fileName)
        return false;
    std::ifstream in(fileName, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in.good() && !in.eof())
        return false;
    if (text.find('\0') != std::string::npos || nestingDepth(text.c_str()) > kMaxDepth ||
        (encoding != 2 && !isWellFormedUtf8(text.c_str())))
        return false;
    TiXmlEncoding enc = encoding == 1 ? TIXML_ENCODING_UTF8 : encoding == 2 ? TIXML_ENCODING_LEGACY
                                                                             : TIXML_ENCODING_UNKNOWN;
    if (!m_document->LoadFile(fileName, enc))
        return false;
    return adoptRoot();
}

bool CXmlDocument::save(const char* fileName)
{
    return fileName && m_document->SaveFile(fileName);
}

CXmlElement* CXmlDocument::create(const char* version, const char* encoding, const char* standalone)
{
    reset();
    TiXmlDeclaration* decl = new (std::nothrow) TiXmlDeclaration(version ? version : "", encoding ? encoding : "",
                                                                 standalone ? standalone : "");
    TiXmlElement* root = new (std::nothrow) TiXmlElement("");
    if (!decl || !root) {
        delete decl;
        delete root;
        return nullptr;
    }
    m_document->LinkEndChild(decl);
    m_document->LinkEndChild(root);
    CXmlElement::attach(root);
    m_root = CXmlElement::handleOf(root);
    return m_root;
}

CXmlElement* CXmlDocument::getRoot() const { return m_root; }

const char* CXmlDocument::print(const char* indent, const char* lineBreak)
{
    TiXmlPrinter printer;
    printer.SetIndent(indent ? indent : "");
    printer.SetLineBreak(lineBreak ? lineBreak : "");
    m_document->Accept(&printer);
    m_printed = printer.Str();
    return m_printed.c_str();
}

} // namespace Tou
} // namespace Orvan
