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

}  // namespace

TTargetStatus TChangeTarget::OpenForWrite(bool again) {
  if (FWriteTried && (!again || FWriteResult == comm::orLinkFollowed)) return StatusOf(FWriteResult);
  FWriteTried = true;
  FWrite.Reset();
  // Attributes are read and written through this handle too.
  constexpr DWORD kAccess = GENERIC_WRITE | FILE_READ_ATTRIBUTES;
  FWriteReads = false;
  if (FReadData) {
    FWrite = comm::comm_OpenNamedObject(FPath, kAccess | FILE_READ_DATA, FILE_SHARE_READ, FWriteResult, &FFolders);
    FWriteReads = FWrite.Valid();
    if (FWriteResult != comm::orFailed) return StatusOf(FWriteResult);
  }
  FWrite = comm::comm_OpenNamedObject(FPath, kAccess, FILE_SHARE_READ, FWriteResult, &FFolders);
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
    FAttr = comm::comm_OpenForAttributes(FPath, FAttrResult, &FFolders);
  }
  status = StatusOf(FAttrResult);
  return FAttr.Get();
}

TTargetStatus TChangeTarget::ReadAttr(DWORD& attr) {
  attr = comm::kNoFileAttributes;
  TTargetStatus status;
  HANDLE h = AttrHandle(status);
  if (status != TTargetStatus::Done) return status;
  attr = comm::comm_GetHandleAttr(h);
  return attr == comm::kNoFileAttributes ? TTargetStatus::Failed : TTargetStatus::Done;
}

TTargetStatus TChangeTarget::WriteAttr(DWORD attr) {
  TTargetStatus status;
  HANDLE h = AttrHandle(status);
  if (status != TTargetStatus::Done) return status;
  return comm::comm_SetHandleAttr(h, attr) ? TTargetStatus::Done : TTargetStatus::Failed;
}

TTargetStatus TChangeTarget::ReadState(TTargetState& state) {
  TTargetStatus status;
  HANDLE h = AttrHandle(status);
  if (status != TTargetStatus::Done) return status;
  FILE_BASIC_INFO info;
  if (!GetFileInformationByHandleEx(h, FileBasicInfo, &info, sizeof info)) return TTargetStatus::Failed;
  state.Attr = info.FileAttributes;
  state.Creation = {info.CreationTime.LowPart, static_cast<DWORD>(info.CreationTime.HighPart)};
  state.LastWrite = {info.LastWriteTime.LowPart, static_cast<DWORD>(info.LastWriteTime.HighPart)};
  return TTargetStatus::Done;
}

comm::TReplaceTimesResult TChangeTarget::WriteTimes(const FILETIME* creation, const FILETIME* lastWrite) {
  OpenForWrite();
  if (!FWrite) return FWriteResult == comm::orLinkFollowed ? comm::rtWriteFailed : comm::rtUnreadable;
  return SetFileTime(FWrite.Get(), creation, nullptr, lastWrite) ? comm::rtDone : comm::rtWriteFailed;
}

comm::TReplaceTimesResult TChangeTarget::ReplaceTimes(const comm::TDateTime* creation, const comm::TDateTime* lastWrite) {
  OpenForWrite();
  if (!FWrite) return FWriteResult == comm::orLinkFollowed ? comm::rtWriteFailed : comm::rtUnreadable;
  return comm::comm_ReplaceHandleDateTime(FWrite.Get(), creation, lastWrite);
}

}  // namespace engine
