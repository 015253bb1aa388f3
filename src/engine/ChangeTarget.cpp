// The handles of one target and the attribute and time operations through them.
#include "engine/ChangeTarget.h"
#include "comm/FileAttr.h"

namespace engine {
namespace {

TTargetStatus StatusOf(comm::TOpenResult r) {
  switch (r) {
    case comm::orOpened: return TTargetStatus::Done;
    case comm::orLinkFollowed: return TTargetStatus::Link;
    case comm::orFailed: break;
  }
  return TTargetStatus::Failed;
}

// The error of the call just made; a failure that set none (a conversion) reads as 0.
DWORD ErrorOf(bool failed) { return failed ? GetLastError() : ERROR_SUCCESS; }

}  // namespace

TTargetStatus TChangeTarget::OpenForWrite(bool again) {
  if (FWriteTried && (!again || FWriteResult == comm::orLinkFollowed)) return StatusOf(FWriteResult);
  FWriteTried = true;
  FWrite.Reset();
  // Attributes are read and written through this handle too.
  constexpr DWORD kAccess = GENERIC_WRITE | FILE_READ_ATTRIBUTES;
  FWriteReads = false;
  if (FReadData) {
    SetLastError(ERROR_SUCCESS);
    FWrite = comm::comm_OpenNamedObject(FPath, kAccess | FILE_READ_DATA, FILE_SHARE_READ, FWriteResult, &FFolders);
    FWriteReads = FWrite.Valid();
    if (FWriteResult != comm::orFailed) return StatusOf(FWriteResult);
  }
  SetLastError(ERROR_SUCCESS);
  FWrite = comm::comm_OpenNamedObject(FPath, kAccess, FILE_SHARE_READ, FWriteResult, &FFolders);
  FWriteError = ErrorOf(FWriteResult == comm::orFailed);
  if (FWriteError) FError = FWriteError;
  return StatusOf(FWriteResult);
}

HANDLE TChangeTarget::AttrHandle(TTargetStatus& status) {
  if (FWrite) {
    status = TTargetStatus::Done;
    return FWrite.Get();
  }
  if (FWriteTried && FWriteResult == comm::orLinkFollowed) {
    status = TTargetStatus::Link;
    return nullptr;
  }
  if (!FAttrTried) {
    FAttrTried = true;
    SetLastError(ERROR_SUCCESS);
    FAttr = comm::comm_OpenForAttributes(FPath, FAttrResult, &FFolders);
    FAttrError = ErrorOf(FAttrResult == comm::orFailed);
  }
  status = StatusOf(FAttrResult);
  if (status == TTargetStatus::Failed) FError = FAttrError;
  return FAttr.Get();
}

TTargetStatus TChangeTarget::ReadAttr(DWORD& attr) {
  attr = comm::kNoFileAttributes;
  TTargetStatus status;
  HANDLE h = AttrHandle(status);
  if (status != TTargetStatus::Done) return status;
  attr = comm::comm_GetHandleAttr(h);
  if (attr != comm::kNoFileAttributes) return TTargetStatus::Done;
  FError = GetLastError();
  return TTargetStatus::Failed;
}

TTargetStatus TChangeTarget::WriteAttr(DWORD attr) {
  TTargetStatus status;
  HANDLE h = AttrHandle(status);
  if (status != TTargetStatus::Done) return status;
  if (comm::comm_SetHandleAttr(h, attr)) return TTargetStatus::Done;
  FError = GetLastError();
  return TTargetStatus::Failed;
}

TTargetStatus TChangeTarget::ReadState(TTargetState& state) {
  TTargetStatus status;
  HANDLE h = AttrHandle(status);
  if (status != TTargetStatus::Done) return status;
  FILE_BASIC_INFO info;
  if (!GetFileInformationByHandleEx(h, FileBasicInfo, &info, sizeof info)) {
    FError = GetLastError();
    return TTargetStatus::Failed;
  }
  state.Attr = info.FileAttributes;
  state.Creation = {info.CreationTime.LowPart, static_cast<DWORD>(info.CreationTime.HighPart)};
  state.LastWrite = {info.LastWriteTime.LowPart, static_cast<DWORD>(info.LastWriteTime.HighPart)};
  return TTargetStatus::Done;
}

comm::TReplaceTimesResult TChangeTarget::WriteTimes(const FILETIME* creation, const FILETIME* lastWrite) {
  OpenForWrite();
  if (!FWrite) return Unopened();
  if (SetFileTime(FWrite.Get(), creation, nullptr, lastWrite)) return comm::rtDone;
  FError = GetLastError();
  return comm::rtWriteFailed;
}

comm::TReplaceTimesResult TChangeTarget::ReplaceTimes(const comm::TDateTime* creation, const comm::TDateTime* lastWrite) {
  OpenForWrite();
  if (!FWrite) return Unopened();
  SetLastError(ERROR_SUCCESS);
  const comm::TReplaceTimesResult result = comm::comm_ReplaceHandleDateTime(FWrite.Get(), creation, lastWrite);
  if (result != comm::rtDone) FError = GetLastError();
  return result;
}

comm::TReplaceTimesResult TChangeTarget::Unopened() {
  FError = FWriteError;
  return FWriteResult == comm::orLinkFollowed ? comm::rtWriteFailed : comm::rtUnreadable;
}

}  // namespace engine
