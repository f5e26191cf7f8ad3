// The preflight's tokenizer: bounds, and wrappers only between complete children.
#include <gtest/gtest.h>

#include "channels/XmlPreflight.h"

namespace vantrel::channels::detail {
namespace {

XmlLimits Small() {
  XmlLimits limits;
  limits.chunkSize = 2;
  return limits;
}

TEST(Preflight, ShortRunsStayAsTheyAre) {
  const std::string doc = "<a><b>1</b><c/></a>";
  const PreflightResult r = PreflightXml(doc, Small());
  ASSERT_EQ(r.status, PreflightStatus::Ok);
  EXPECT_FALSE(r.wrapped);
  EXPECT_EQ(r.text, doc);
  EXPECT_EQ(r.depth, 2u);
  EXPECT_EQ(r.elements, 3u);
}

TEST(Preflight, LongRunsAreWrappedAfterTheFirstChunk) {
  const PreflightResult r = PreflightXml("<a> <b>1</b> <c/> <d x='>'/> <e></e> <f/></a>", Small());
  ASSERT_EQ(r.status, PreflightStatus::Ok);
  EXPECT_TRUE(r.wrapped);
  EXPECT_EQ(r.text,
            "<a> <b>1</b> <c/> <vantrel-chunk><d x='>'/> <e></e> </vantrel-chunk><vantrel-chunk><f/>"
            "</vantrel-chunk></a>");
}

TEST(Preflight, MarkupThatIsNotAnElementIsSteppedOver) {
  const std::string doc =
      "<?xml version=\"1.0\"?><!DOCTYPE a [<!ENTITY e \"<x>\">]><a><!-- <b><c><d> --><![CDATA[<b><c><d>]]>"
      "<?pi <b><c>?><b attr=\"<b>\" other='/>'>t</b></a>";
  const PreflightResult r = PreflightXml(doc, Small());
  ASSERT_EQ(r.status, PreflightStatus::Ok);
  EXPECT_FALSE(r.wrapped);
  EXPECT_EQ(r.elements, 2u);
  EXPECT_EQ(r.depth, 2u);
}

TEST(Preflight, Bounds) {
  XmlLimits limits;
  limits.maxDepth = 3;
  EXPECT_EQ(PreflightXml("<a><b><c></c></b></a>", limits).status, PreflightStatus::Ok);
  EXPECT_EQ(PreflightXml("<a><b><c><d/></c></b></a>", limits).status, PreflightStatus::Ok) << "empty tags add no depth";
  EXPECT_EQ(PreflightXml("<a><b><c><d></d></c></b></a>", limits).status, PreflightStatus::TooDeep);
  limits.maxElements = 3;
  EXPECT_EQ(PreflightXml("<a><b/><c/><d/></a>", limits).status, PreflightStatus::TooManyElements);
  limits.maxAttributesPerTag = 2;
  EXPECT_EQ(PreflightXml("<a x='1' y=\"2\"/>", limits).status, PreflightStatus::Ok);
  EXPECT_EQ(PreflightXml("<a x='1' y=\"2\" z='3'/>", limits).status, PreflightStatus::TooManyAttributes);
  limits.maxBytes = 4;
  EXPECT_EQ(PreflightXml("<a></a>", limits).status, PreflightStatus::TooLarge);
}

TEST(Preflight, WhatNeverIsWellFormedIsRefused) {
  // IXML 1.8.4 reads past the end of its buffer on some of these (an
  // unterminated CDATA section at the end, found by the fuzz target).
  for (const char* doc : {"<a><b/><c/><d/>", "<a></a></b>", "<a><!-- unterminated", "<a x='1></a>",
                          "<a><![CDATA[x", "<a><?pi", "<a></a", "<a><b", "<a>text", "<!DOCTYPE a [", "</a>",
                          "<a/>*", "<a/><b/>", "<?xml version='1.0'?>junk<a/>", "<a/>\r\n<a/>"}) {
    const PreflightResult r = PreflightXml(doc, Small());
    EXPECT_EQ(r.status, PreflightStatus::NotWellFormed) << doc;
    EXPECT_FALSE(r.detail.empty()) << doc;
  }
}

TEST(Preflight, WhiteSpaceCommentsAndInstructionsMayStandOutside) {
  EXPECT_EQ(PreflightXml("<?xml version=\"1.0\"?>\r\n<!-- c -->\n<a/>\r\n<!-- after --><?pi?>\n\t ").status,
            PreflightStatus::Ok);
}

TEST(Preflight, NumericReferencesMustBeClosed) {
  // IXML 1.8.4 reads past the end of its buffer on "&#..." running into the end.
  for (const char* doc : {"<a>&#", "<a>&#1", "<a>&#x", "<a>&#x4f", "<a>&#12</a>", "<a>&#;</a>", "<a>&#x;</a>",
                          "<a>&#xg;</a>", "<a b=\"&#\"/>", "<a b='&#65'/>", "<a>&#65;&#"}) {
    EXPECT_EQ(PreflightXml(doc).status, PreflightStatus::NotWellFormed) << doc;
  }
  for (const char* doc : {"<a>&#65;&#x42;&#xaF;</a>", "<a>&amp;&lt;</a>", "<a b=\"&#65;\"/>", "<a><!-- &# --></a>",
                          "<a><![CDATA[&#]]></a>", "<a><?pi &#?></a>", "<a>&</a>"}) {
    EXPECT_EQ(PreflightXml(doc).status, PreflightStatus::Ok) << doc;
  }
}

TEST(Preflight, AnElementWithTheWrappersNameSwitchesWrappingOff) {
  const std::string doc = "<a><b/><c/><vantrel-chunk/><d/></a>";
  const PreflightResult r = PreflightXml(doc, Small());
  ASSERT_EQ(r.status, PreflightStatus::Ok);
  EXPECT_FALSE(r.wrapped);
  EXPECT_EQ(r.text, doc);
}

}  // namespace
}  // namespace vantrel::channels::detail
