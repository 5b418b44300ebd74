// DispSetColumns: one check box per column and the rows per page. The form posts "list" back
// to the page; the request reader stores the choice in the session. The form's name (the
// request's action), the URL and the stored page size are encoded for their quoted attributes.
#include "dna/dna.h"
#include "dna/statement_text.h"
#include "frame/html_encoding.h"

namespace dna {

void DNA::DispSetColumns() {
  auto& out = page_.response();
  out.write(u"<Form name='" + frame::htmlAttribute(strAction) + u"' method='post' action='" +
            frame::htmlAttribute(strURL) + u"'>\r\n");
  out.write(u"<input type='hidden' name='action' value='list'>");
  forEach16(aFields.size(), [&](std::size_t i) {
    out.write(caption(i) + u": <input type='checkbox' name='choseItem' value='" + field(i) + u"' ");
    if (isChosen(field(i))) out.write(u"checked");
    out.write(u">\r\n");
  });
  out.write(u"<br>每页行数：<input type='text' name='pageSize' size=3 value='" +
            frame::htmlAttribute(automation::joinText(session(u"nPageSize"))) + u"'><br>\r\n");
  out.write(u"<input type='submit'  value='设定显示列'></Form>\r\n");
  debugTrace(u"##调试信息:DispSetColumns OK!<br>\r\n");
}

}  // namespace dna
