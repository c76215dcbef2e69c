// The result blocks of results pages: the markup traps engine pages set for a
// reader (blocks inside blocks, end tags left out, references, script text
// holding markup), where each block's target and site come from, and the
// real saved pages of the four engines.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "base/text.h"
#include "search/result_blocks.h"

namespace brivano::testing {
namespace {

EngineRow Row(Engine engine) {
  return DefaultEngineTable()[static_cast<int>(engine)];
}

// A row for the markup cases: blocks are div.r (or what `blocks` says).
EngineRow PlainRow(std::string blocks = "div.r") {
  EngineRow row = Row(Engine::Baidu);
  row.resultSelector = std::move(blocks);
  row.titleSelector = "h3 a";
  row.targetAttributes = {"mu"};
  row.siteSelector = "cite";
  return row;
}

// "title|site|target|link" of every block, one a line.
std::string Summary(const std::vector<ResultBlock>& blocks) {
  std::string out;
  for (const ResultBlock& b : blocks) {
    out += b.title + "|" + b.site + "|" + b.target + "|" + b.link + "\n";
  }
  return out;
}

TEST(ResultBlocks, MarkupTargetsAndSites) {
  const struct Case {
    const char* name;
    EngineRow row;
    std::string html;
    std::string blocks;     // Summary()
    std::string firstText;  // the first block's text, when checked
  } cases[] = {
      {"a block inside a block is part of it", PlainRow(),
       "<div class=r><h3><a href='http://a.cn/'>A</a></h3>"
       "<div class=r><h3><a href='http://b.cn/'>B</a></h3></div></div>"
       "<div class=r><h3><a href='http://c.cn/x'>C</a></h3></div>",
       "A|a.cn|http://a.cn/|http://a.cn/\nC|c.cn|http://c.cn/x|http://c.cn/x\n", "A\nB"},
      {"end tags left out and unquoted values", PlainRow("li.r"),
       "<ul><li class=r><h3><a href=http://a.cn/>A</a></h3><p>one<p>two"
       "<li class=r><h3><a href=http://b.cn/>B</a></h3></ul>",
       "A|a.cn|http://a.cn/|http://a.cn/\nB|b.cn|http://b.cn/|http://b.cn/\n", "A\none\ntwo"},
      {"cells end cells, the table ends them all", PlainRow("td.r, div.r"),
       "<table><tr><td class=r><h3><a href=http://a.cn/>A</a></h3>"
       "<td class=r><h3><a href=http://b.cn/>B</a></h3></table>"
       "<div class=r><h3><a href=http://c.cn/>C</a></h3></div>",
       "A|a.cn|http://a.cn/|http://a.cn/\nB|b.cn|http://b.cn/|http://b.cn/\n"
       "C|c.cn|http://c.cn/|http://c.cn/\n",
       ""},
      {"stray end tags and upper case", PlainRow(),
       "<DIV CLASS='r'></span></p></li><H3><A HREF='http://a.cn/'>A</A></H3>tail</DIV>",
       "A|a.cn|http://a.cn/|http://a.cn/\n", "A\ntail"},
      {"references in text and attributes", PlainRow(),
       "<div class=r><h3><a href='http://a.cn/?a=1&amp;b=2&copy=3&lt'>AT&amp;T &lt;b&gt; "
       "&#x4E2D;&#22269;&nbsp;&nbsp;x &bogus; &#150;</a></h3></div>",
       "AT&T <b> 中国 x &bogus; –|a.cn|http://a.cn/?a=1&b=2&copy=3<|http://a.cn/?a=1&b=2&copy=3<\n",
       ""},
      {"script and style text hold markup", PlainRow(),
       "<div class=r><script>var s = \"</div><div class=r>\";</script><!-- <div class=r> -->"
       "<h3><a href='http://a.cn/'>A</a></h3><style>p{}</style><noscript><p>x</p></noscript>"
       "<p style='display: none'>hidden</p>  tail \n text </div><div class=r></div>",
       "A|a.cn|http://a.cn/|http://a.cn/\n|||\n", "A\ntail text"},
      {"a selector the reader cannot read finds nothing", PlainRow("div.r:hover"),
       "<div class=r>x</div>", "", ""},
      {"child combinator and attribute tests",
       PlainRow("ol > li[data-k^='ab'][data-k$=yz], li[data-x*=\"mid\" i]"),
       "<ol><li data-k=abxyz>1</li><div><li data-k=abyz>2</li></div><li data-x=aMIDb>3</ol>",
       "|||\n|||\n", "1"},
      // Where the target comes from: the block, its title link, something
      // inside the block that is no link elsewhere, then the link itself.
      {"target on the block", Row(Engine::Baidu),
       "<div id=content_left><div class='result c-container' mu='http://block.cn/'>"
       "<h3><a href='http://www.baidu.com/link?url=x' data-url='http://link.cn/'>T</a></h3>"
       "<a class=c-showurl>www.block.cn/a/b...</a></div></div>",
       "T|www.block.cn|http://block.cn/|http://www.baidu.com/link?url=x\n", ""},
      {"target on the title link around the title", Row(Engine::Baidu),
       "<div id=content_left><div class='c-container result'><a href='/link?url=y' "
       "data-url='http://link.cn/p'><h3>T</h3></a></div></div>",
       "T|link.cn|http://link.cn/p|/link?url=y\n", ""},
      {"target inside the block, not on a link elsewhere", Row(Engine::Baidu),
       "<div id=content_left><div class=result><h3><a href='/link?url=x'>T</a></h3>"
       "<a href='http://cache.cn/' mu='http://wrong.cn/'>快照</a><span mu='http://inner.cn/p'>"
       "</span></div></div>",
       "T|inner.cn|http://inner.cn/p|/link?url=x\n", ""},
      {"only a redirect", Row(Engine::Sogou),
       "<div class=results><div class=vrwrap><h3><a href='/link?url=abc'>T</a></h3>"
       "<div class=fb><cite>百度百科 - baike.baidu.com/item/x</cite></div></div></div>",
       "T|baike.baidu.com||/link?url=abc\n", ""},
      {"Sogou of today: the site in .citeurl, only a redirect", Row(Engine::Sogou),
       "<div class=results><div class=vrwrap><h3 class=vr-title><a href='/link?url=d'>T</a></h3>"
       "<div class=citeurl><span>酒店网 - www.jiudian.cn</span><span class=cite-date>- 2022-3-1"
       "</span></div></div></div>",
       "T|www.jiudian.cn||/link?url=d\n", ""},
      {"links relative to the engine's page", Row(Engine::Sogou),
       "<div class=results><div class=rb><h3><a href='//m.sogou.com/a'>A</a></h3></div>"
       "<div class=rb><h3><a href='/sogou?q=1'>B</a></h3></div></div>",
       "A|m.sogou.com|http://m.sogou.com/a|//m.sogou.com/a\n"
       "B|www.sogou.com|http://www.sogou.com/sogou?q=1|/sogou?q=1\n",
       ""},
      {"360's redirect with the address in it", Row(Engine::So360),
       "<li class=res-list><h3><a href='https://www.so.com/link?url=http%3A%2F%2Fnews.so.com%2Fns"
       "%3Fq%3D1&q=x'>N</a></h3></li><li class=res-list><h3><a href='https://www.so.com/link?m=z' "
       "data-mdurl='http://jy.cn/'>J</a></h3><cite>jy.cn&gt;...&gt;新闻</cite></li>",
       "N|news.so.com|http://news.so.com/ns?q=1|https://www.so.com/link?url=http%3A%2F%2Fnews.so."
       "com%2Fns%3Fq%3D1&q=x\nJ|jy.cn|http://jy.cn/|https://www.so.com/link?m=z\n",
       ""},
      {"Bing's click link decoded", Row(Engine::Bing),
       "<li class=b_algo><h2><a href='https://www.bing.com/ck/a?!&amp;&amp;p=9f&amp;u="
       "a1aHR0cHM6Ly93d3cuZXhhbXBsZS5jb20vcGF0aD9xPTE&amp;ntb=1'>E</a></h2>"
       "<cite>https://www.example.com › path › q</cite></li>"
       "<li class=b_algo><h2><a href='https://cn.bing.com/ck/a?u=a1!!'>F</a></h2></li>",
       "E|www.example.com|https://www.example.com/path?q=1|https://www.bing.com/ck/"
       "a?!&&p=9f&u=a1aHR0cHM6Ly93d3cuZXhhbXBsZS5jb20vcGF0aD9xPTE&ntb=1\n"
       "F|||https://cn.bing.com/ck/a?u=a1!!\n",
       ""},
      {"displayed sites", PlainRow(),
       "<div class=r><cite>www.<b>ex</b>ample.com/a/b... - 2020-1-5</cite></div>"
       "<div class=r><cite>HTTPS://Shop.Example.com:8080/x</cite></div>"
       "<div class=r><cite>知乎</cite></div>"
       "<div class=r><cite>name.x@mail.com</cite></div>"
       "<div class=r><cite>3.5分 - 评价</cite></div>",
       "|www.example.com||\n|Shop.Example.com||\n|知乎||\n|name.x@mail.com||\n|3.5分||\n", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::vector<ResultBlock> blocks = ReadResultBlocks(c.html, c.row);
    EXPECT_EQ(Summary(blocks), c.blocks);
    if (!c.firstText.empty() && !blocks.empty()) {
      EXPECT_EQ(blocks[0].text, c.firstText);
    }
  }
}

// Markup cut off anywhere, or made of nothing but openings, reads without
// a fault.
TEST(ResultBlocks, BrokenMarkupReads) {
  const std::string page =
      "<div class=r><h3><a href='http://a.cn/' mu=\"http://b.cn/\">A&amp;B</a></h3>"
      "<script>x</script><!-- c --><p>t</div>";
  for (std::size_t cut = 0; cut <= page.size(); ++cut) {
    EXPECT_LE(ReadResultBlocks(std::string_view(page).substr(0, cut), PlainRow()).size(), 1u);
  }
  std::string deep;
  for (int i = 0; i < 100000; ++i) deep += "<div class=r><h3><a href=x>";
  EXPECT_EQ(ReadResultBlocks(deep, PlainRow()).size(), 1u);
}

std::filesystem::path CorpusFolder() {
  return std::filesystem::path(__FILE__).parent_path().parent_path() / ".." / "shared" / "corpus" /
         "engines";
}

std::string ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

// Every page of the corpus with the blocks the engine row should find. The
// notes count every element with a block's class; the rows read only the
// results list, so a count differs where a page has blocks beside it.
struct CorpusPage {
  Engine engine;
  int noteCount;  // -1: the note gives none
  int expected;
  int withoutTitle = 0;
};
const std::map<std::string, CorpusPage>& CorpusPages() {
  static const std::map<std::string, CorpusPage> pages = {
      {"baidu/bs-python-1.html", {Engine::Baidu, 10, 10}},
      {"baidu/bs-python-2.html", {Engine::Baidu, 10, 10}},
      {"baidu/bs-python-3.html", {Engine::Baidu, 10, 10}},
      {"baidu/bs-astm-a106.html", {Engine::Baidu, 10, 10}},
      {"baidu/bs-wo.html", {Engine::Baidu, 10, 10}},
      // The calculator card's title link is empty in the markup.
      {"baidu/bs-calc.html", {Engine::Baidu, 10, 10, 1}},
      // Two newer cards ("c-container result", heading inside the link) the
      // note leaves out.
      {"baidu/bs-xinguan.html", {Engine::Baidu, 8, 10}},
      {"baidu/bs-gibberish-single.html", {Engine::Baidu, 2, 2}},
      {"baidu/gs-a-page9.html", {Engine::Baidu, 10, 10}},
      // Six results and four cards.
      {"baidu/gs-number.html", {Engine::Baidu, 6, 10}},
      // The notes count the right column's result-op boxes; the results
      // list holds table.result blocks and one or three cards.
      {"baidu/q-tongchengwang-jiudianyuding.html", {Engine::Baidu, 12, 10}},
      {"baidu/q-jiudianyudingwang.html", {Engine::Baidu, 13, 10}},
      // The right column's card and eight ads are div.rb too.
      {"sogou/q-jiudianyuding.html", {Engine::Sogou, 19, 10}},
      {"sogou/aql-yuandaima-xielu-2020.html", {Engine::Sogou, 10, 10}},
      {"sogou/aql-shenfenzheng-2017.html", {Engine::Sogou, 10, 10}},
      {"sogou/aql-tuguan-gbk-2012.html", {Engine::Sogou, 10, 10}},
      {"sogou/aql-cesuk-noresults-2017.html", {Engine::Sogou, 0, 0}},
      {"sogou/wall-weixin-antispider-2017.html", {Engine::Sogou, 0, 0}},
      {"360/q-jiudian.html", {Engine::So360, 11, 11}},
      {"360/aql-kuaiji-peixun-2020.html", {Engine::So360, -1, 10}},
      {"360/aql-meiguo-qianzheng-2020.html", {Engine::So360, -1, 10}},
      {"360/aql-anjian-bilu-2019.html", {Engine::So360, 10, 10}},
      {"360/aql-chenteng-single-2019.html", {Engine::So360, 10, 10}},
      {"360/aql-site-noresults-2020.html", {Engine::So360, 0, 0}},
      {"bing/sescraper-testkeyword-p1.html", {Engine::Bing, 6, 6}},
      {"bing/gs-hello.html", {Engine::Bing, 9, 9}},
      // Four of the fourteen b_algo are div.b_algo inside a news answer.
      {"bing/aql-sweden-riots-zhcn-2021.html", {Engine::Bing, 14, 10}},
      {"bing/cn-zhoujielun-noresults.html", {Engine::Bing, 0, 0}},
      {"bing/wall-one-last-step-turnstile-2026.html", {Engine::Bing, 0, 0}},
  };
  return pages;
}

TEST(ResultBlocks, SavedEnginePages) {
  const std::filesystem::path folder = CorpusFolder();
  const std::string sources = ReadBytes(folder / "SOURCES.tsv");
  if (sources.empty()) GTEST_SKIP() << "no saved engine pages at " << folder;
  std::printf("%-46s %5s %5s %5s %5s\n", "file", "note", "found", "title", "site");
  std::istringstream lines(sources);
  std::string line;
  std::getline(lines, line);  // the column names
  while (std::getline(lines, line)) {
    const std::size_t start = line.find('\t') + 1;
    const std::string file = line.substr(start, line.find('\t', start) - start);
    SCOPED_TRACE(file);
    const auto known = CorpusPages().find(file);
    ASSERT_NE(known, CorpusPages().end()) << "a new page: give it its count above";
    const std::string bytes = ReadBytes(folder / file);
    ASSERT_FALSE(bytes.empty());
    const std::string html = IsValidUtf8(bytes) ? bytes : GbkToUtf8(bytes);
    const std::vector<ResultBlock> blocks = ReadResultBlocks(html, Row(known->second.engine));
    int titled = 0;
    int sited = 0;
    for (const ResultBlock& block : blocks) {
      titled += !block.title.empty();
      sited += !block.site.empty();
    }
    const int found = static_cast<int>(blocks.size());
    std::printf("%-46s %5d %5d %5d %5d\n", file.c_str(), known->second.noteCount, found, titled,
                sited);
    EXPECT_EQ(found, known->second.expected);
    EXPECT_EQ(titled, found - known->second.withoutTitle);
    EXPECT_EQ(sited, found);
  }
}

}  // namespace
}  // namespace brivano::testing
