#include "tests/hostile/hostile_pages.h"

#include "base/gbk.h"

namespace tolvarine::testing {
namespace {

HttpResponse Bytes(const std::string& contentType, std::string body) {
  HttpResponse r;
  r.contentType = contentType;
  r.body = std::move(body);
  return r;
}

// A 1x1 PNG.
const char kPng[] =
    "\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\0\x01\0\0\0\x01\x08\x06\0\0\0\x1f\x15\xc4\x89\0\0\0\n"
    "IDAT\x78\x9c\x63\0\x01\0\0\x05\0\x01\x0d\x0a\x2d\xb4\0\0\0\0IEND\xae\x42\x60\x82";

const char kPdf[] =
    "%PDF-1.1\n1 0 obj<</Type/Catalog/Pages 2 0 R>>endobj\n"
    "2 0 obj<</Type/Pages/Kids[3 0 R]/Count 1>>endobj\n"
    "3 0 obj<</Type/Page/Parent 2 0 R/MediaBox[0 0 200 200]>>endobj\n"
    "trailer<</Root 1 0 R>>\n%%EOF\n";

}  // namespace

// Paragraphs of 64 KiB: a text-heavy page. (Short paragraphs are no better test of the
// harvest, and a million of them exhaust the renderer's document heap on their own.)
std::string BigPage(std::size_t bytes, const std::string& number) {
  std::string paragraph = "<p>";
  while (paragraph.size() < 64 * 1024) paragraph += "filler text line abcdefghij klmnopqrstuvwxyz ";
  paragraph += "</p>\n";
  std::string page = "<html><body>\n";
  page.reserve(bytes + paragraph.size() + 128);
  while (page.size() < bytes) page += paragraph;
  return page + "<p>the end " + number + "</p></body></html>";
}

std::vector<HostilePage> ServeHostilePages(LocalHttpServer& server, std::size_t bigPageBytes) {
  std::vector<HostilePage> pages;
  auto add = [&](std::string name, const std::string& path, Outcome expected,
                 std::string number = {}, std::string text = {}) {
    pages.push_back({std::move(name), path.starts_with("/") ? server.Url(path) : path, expected,
                     std::move(number), std::move(text)});
  };

  server.Page("/dialogs", R"(<html><body><p id="r">waiting</p><script>
    alert('a'); confirm('b'); prompt('c', 'd');
    document.getElementById('r').textContent = 'after the dialogs 15900000001';
    </script></body></html>)");
  add("alert, confirm, prompt", "/dialogs", Outcome::Harvested, "15900000001");

  server.Page("/leave", R"(<html><body><p>leave me 15900000002</p><script>
    window.onbeforeunload = function (e) {
      e.preventDefault(); e.returnValue = 'stay'; return 'stay';
    };
    </script></body></html>)");
  add("leave-page prompt", "/leave", Outcome::Harvested, "15900000002");

  server.Page("/spin",
              "<html><body><p>spinning 15900000003</p>"
              "<script>while (true) {}</script></body></html>");
  add("endless script", "/spin", Outcome::Abandoned);

  server.Page("/windows", R"(<html><body><p>windows 15900000004</p><script>
    for (var i = 0; i < 200; i++) window.open('/popup?' + i, '_blank');
    setInterval(function () { window.open('/popup?timer'); }, 5);
    </script></body></html>)");
  add("window.open loop", "/windows", Outcome::Harvested, "15900000004");

  HttpResponse download = Bytes("application/octet-stream", std::string(4096, 'x') + "15900000005");
  download.headers.emplace_back("Content-Disposition",
                                "attachment; filename=\"tolvarine-hostile.bin\"");
  server.Route("/download", download);
  add("download", "/download", Outcome::Abandoned);

  server.Page("/big", BigPage(bigPageBytes, "15900000006"));
  add("big page (" + std::to_string(bigPageBytes >> 20) + " MB)", "/big", Outcome::Harvested,
      "15900000006");

  std::string links = "<html><body><p>links 15900000007</p>\n";
  for (int i = 0; i < kManyLinks; ++i) links += "<a href=\"/l/" + std::to_string(i) + "\">x</a>\n";
  server.Page("/links", links + "</body></html>");
  add("100,000 links", "/links", Outcome::Harvested, "15900000007");

  server.Redirect("/loop-a", "/loop-b");
  server.Redirect("/loop-b", "/loop-a");
  add("redirect loop", "/loop-a", Outcome::Harvested);

  add("renderer crash", "chrome://crash", Outcome::Abandoned);

  server.Route("/image.png", Bytes("image/png", std::string(kPng, sizeof kPng - 1)));
  add("PNG image", "/image.png", Outcome::Harvested);

  server.Route("/image.svg", Bytes("image/svg+xml",
                                   "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"10\" "
                                   "height=\"10\"><text>15900000011</text></svg>"));
  add("SVG image", "/image.svg", Outcome::HarvestFailed);

  server.Route("/doc.pdf", Bytes("application/pdf", kPdf));
  add("PDF", "/doc.pdf", Outcome::Abandoned);

  server.Route("/plain.txt",
               Bytes("text/plain; charset=utf-8", "plain text 15900000013\n<b>not markup</b>\n"));
  add("plain text", "/plain.txt", Outcome::Harvested, "15900000013", "<b>not markup</b>");

  // Without style information the engine shows XML as a source tree, an HTML document of
  // its own; with a style sheet the XML document itself is shown, and it has no body.
  server.Route("/doc.xml", Bytes("application/xml",
                                 "<?xml version=\"1.0\"?>"
                                 "<root><n>15900000014</n></root>"));
  add("XML as a source tree", "/doc.xml", Outcome::Harvested, "15900000014");
  server.Route("/styled.xml",
               Bytes("application/xml",
                     "<?xml version=\"1.0\"?>"
                     "<?xml-stylesheet type=\"text/css\" href=\"data:text/css,n{color:red}\"?>"
                     "<root><n>15900000019</n></root>"));
  add("XML without a body", "/styled.xml", Outcome::HarvestFailed);

  server.Route("/gbk",
               Bytes("text/html; charset=gbk",
                     Utf8ToGbk("<html><body><p>电话号码 15900000015 联系</p></body></html>")));
  add("GBK", "/gbk", Outcome::Harvested, "15900000015", Utf8ToGbk("电话号码 15900000015 联系"));

  // "中文", a character GBK lacks (U+20000, four bytes in GB18030), "字".
  server.Route("/gb18030", Bytes("text/html; charset=gb18030",
                                 "<html><body><p>\xd6\xd0\xce\xc4\x95\x32\x82\x36\xd7\xd6"
                                 " 15900000016</p></body></html>"));
  add("GB18030", "/gb18030", Outcome::Harvested, "15900000016",
      Utf8ToGbk("中文") + "?" + Utf8ToGbk("字 15900000016"));

  // "電話" in Big5.
  server.Route("/big5", Bytes("text/html; charset=big5",
                              "<html><body><p>\xb9\x71\xb8\xdc 15900000017</p></body></html>"));
  add("Big5", "/big5", Outcome::Harvested, "15900000017", Utf8ToGbk("電話 15900000017"));

  server.Page("/utf8", "<html><body><p>mixed 中文 한글 😀 end 15900000018</p></body></html>");
  add("UTF-8 beyond GBK", "/utf8", Outcome::Harvested, "15900000018",
      Utf8ToGbk("mixed 中文 ") + "?? ? end 15900000018");
  return pages;
}

}  // namespace tolvarine::testing
