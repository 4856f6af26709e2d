// Document and element handles over the XML parser.
#include "P2PSDK/XmlDocument.h"

#include <gtest/gtest.h>

#include <string>

using namespace Orvan::Tou;

TEST(XmlDocument, NavigationAndReaders)
{
    CXmlDocument doc;
    ASSERT_EQ(doc.parse("<?xml version=\"1.0\"?><!-- note --><root a=\"12abc\" f=\"TRUE\">"
                        "<seq>1</seq>text<seq>2</seq><n>-5</n><d>2.5</d><b>TRUE</b></root>"),
              0);
    CXmlElement* root = doc.getRoot();
    ASSERT_NE(root, nullptr);
    EXPECT_STREQ(root->getName(), "root");
    CXmlElement* second = root->getChild("seq", 1);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->getText(), "2");
    EXPECT_EQ(root->getChild("seq", 2), nullptr);
    EXPECT_EQ(root->getChild("seq", 0)->getNextSibling("seq"), second);
    EXPECT_EQ(second->getParent(), root);
    EXPECT_EQ(root->getParent(), nullptr);
    EXPECT_EQ(root->getChild("n")->getTextInt(), -5);
    EXPECT_EQ(root->getChild("n")->getTextUint(), 0u);
    EXPECT_DOUBLE_EQ(root->getChild("d")->getTextDouble(), 2.5);
    EXPECT_TRUE(root->getChild("b")->getTextBool());
    EXPECT_EQ(root->getAttributeInt("a"), 12);
    EXPECT_EQ(root->getAttributeUint("a"), 12u);
    EXPECT_TRUE(root->getAttributeBool("f"));
    EXPECT_EQ(root->getAttribute("missing"), "");
    EXPECT_EQ(root->getChild(), root->getChild("seq", 0));
}

TEST(XmlDocument, RefusesBadAndDeepTexts)
{
    CXmlDocument doc;
    EXPECT_EQ(doc.parse("<a><b></a>"), -1);
    EXPECT_EQ(doc.getRoot(), nullptr);
    EXPECT_EQ(doc.parse("just text"), -1);
    EXPECT_EQ(doc.parse(nullptr), -1);
    std::string deep;
    for (int i = 0; i < 100000; ++i)
        deep += "<a>";
    EXPECT_EQ(doc.parse(deep.c_str()), -1);

    // Bytes that are not UTF-8 are refused before the parser steps over them.
    for (const char* bad : {"<a>\xad</a>", "<a\xad>x</a>", "<a>\xe4\xb8</a>", "<a>\xc0\xaf</a>"})
        EXPECT_EQ(doc.parse(bad), -1) << bad;
    ASSERT_EQ(doc.parse("<a>\xe8\xae\xbe\xe5\xa4\x87</a>"), 0);
    EXPECT_EQ(doc.getRoot()->getText(), "\xe8\xae\xbe\xe5\xa4\x87");
}

TEST(XmlDocument, Building)
{
    CXmlDocument doc;
    CXmlElement* root = doc.create("1.0", "UTF-8", "");
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->set("body", "x"), 0);
    EXPECT_EQ(root->setText("y"), 0);
    EXPECT_EQ(root->addChild("US", std::string(":8800")), 0);
    EXPECT_EQ(root->addChild("n", 7), 0);
    EXPECT_EQ(root->addChild("ok", true), 0);
    EXPECT_EQ(root->setAttribute("v", 3u), 0);
    EXPECT_EQ(root->setAttribute(nullptr, "x"), -1);

    CXmlElement detached("extra");
    detached.addChild("inner", "deep");
    EXPECT_EQ(root->appendChild(detached), 0);
    CXmlElement* extra = root->getChild("extra");
    ASSERT_NE(extra, nullptr);
    EXPECT_NE(extra, &detached);
    EXPECT_EQ(extra->getChild("inner")->getText(), "deep");
    EXPECT_EQ(extra->getChild("inner")->getParent(), extra);

    CXmlElement* us = root->getChild("US");
    EXPECT_EQ(us->getText(), ":8800");
    EXPECT_EQ(root->getChild("n")->getTextInt(), 7);
    EXPECT_EQ(root->getChild("ok")->getText(), "true");

    // The first child of root is text: setText replaces it; an element-first child refuses.
    EXPECT_EQ(extra->setText("no"), -1);
    EXPECT_EQ(extra->getChild("inner")->getText(), "deep");

    *us = detached;
    EXPECT_STREQ(us->getName(), "extra");
    EXPECT_EQ(us->getChild("inner")->getParent(), us);

    std::string printed = doc.print("", "");
    EXPECT_NE(printed.find("<body v=\"3\">y<extra><inner>deep</inner></extra><n>7</n>"), std::string::npos) << printed;
    EXPECT_NE(printed.find("<?xml version=\"1.0\" encoding=\"UTF-8\" ?>"), std::string::npos) << printed;
}
