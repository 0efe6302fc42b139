#include "com/error_boundary.h"

#include <string>

#include "com/com_ptr.h"

namespace marelco {

HRESULT ReportError(ErrorNumber number, REFIID iid) {
  ComPtr<ICreateErrorInfo> created;
  if (SUCCEEDED(CreateErrorInfo(created.put()))) {
    const std::string text = Description(number);
    const std::wstring description(text.begin(), text.end());
    created->SetGUID(iid);
    created->SetSource(const_cast<LPOLESTR>(L"Marelco.Kalendo"));
    created->SetDescription(const_cast<LPOLESTR>(description.c_str()));
    if (auto info = created.query<IErrorInfo>()) SetErrorInfo(0, info.get());
  }
  return ErrorResult(number);
}

}  // namespace marelco
