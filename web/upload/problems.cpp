#include "problems.h"

#include "frame/html_encoding.h"

namespace upload {

// The field and file names come from the request and the page writes the text: they are
// encoded as element text.
Text problemText(const NotedProblem& noted) {
  const Text n = frame::htmlText(noted.fieldName);
  const Text f = frame::htmlText(noted.fileName);
  switch (noted.problem) {
    case Problem::Exists:
      return u"对不起，目标文件在上载的目录中已经存在，如果需要覆盖，请将[overwrite]属性定义为[2]。"
             u"(Sorry,the file which you want to upload has already exists.if you want to "
             u"overwrite it ,please define the property of [overwrite] to [2])";
    case Problem::EmptyContent:
      return u"警告：一文件的内容为空。(warning: Content of a file is empty.)";
    case Problem::EmptyFileName:
      return u"对不起，[" + n + u"]表单项中的文件名为空。(Sorry,item [" + n + u"] is empty.)";
    case Problem::TooLarge:
      return u"对不起，文件名为[" + f + u"] 的文件大小超出了范围。(Sorry ,the size of file [" + f +
             u"] is beyond.)";
    case Problem::TooMany:
      return u"对不起，文件总数不得超过255(Sorry ,the count of the files must not be over 255.)";
    case Problem::NothingSelected:
      return u"对不起，您没有选择文件上传.(Sorry,you have not selected a file to upload.)";
    case Problem::Path:
      return u"对不起，路径必须为绝对路径.(Sorry,the path must be a absolute path)";
  }
  return Text();
}

void stopWith(Problem problem) {
  throw automation::AutomationError(static_cast<automation::HRESULT>(problem),
                                    u"balance.SystemInit", problemText({problem, u"", u""}));
}

}  // namespace upload
