// Reports of loading failures.
#include "script/failure.h"

#include "errors/errinfo.h"
#include "errors/messages.h"
#include "errors/report.h"

namespace zel::script {

void ReportNamed(ScriptContext* ctx, uint32_t captionId, const char* text) {
  err::ReportFailure(ctx, captionId, text, err::kSeveritySevere);
}

void ReportMessage(ScriptContext* ctx, uint32_t messageId) {
  char text[kWorkBuf];
  msg::Load(ctx, messageId, text, sizeof text);
  err::ReportFailure(ctx, kMsgExecutionError, text, err::kSeveritySevere);
}

}  // namespace zel::script
