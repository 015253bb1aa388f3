// Storing a control with its properties and children as bytes, and rebuilding it from them.
#include "settings/ControlStream.h"
#include <utility>

namespace settings {

namespace {

constexpr char kSignature[4] = {'V', 'S', 'C', '1'};

void PutU32(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

void PutText(std::vector<uint8_t>& out, const std::wstring& text) {
  PutU32(out, static_cast<uint32_t>(text.size()));
  for (wchar_t c : text) {
    out.push_back(static_cast<uint8_t>(c & 0xFF));
    out.push_back(static_cast<uint8_t>((c >> 8) & 0xFF));
  }
}

void PutControl(std::vector<uint8_t>& out, const TStreamableControl& control) {
  PutText(out, control.ClassName());
  PutText(out, control.Name());
  std::vector<TControlProperty> properties = control.Properties();
  PutU32(out, static_cast<uint32_t>(properties.size()));
  for (const TControlProperty& p : properties) {
    PutText(out, p.Name);
    PutText(out, p.Value);
  }
  std::vector<TStreamableControl*> children = control.Children();
  PutU32(out, static_cast<uint32_t>(children.size()));
  for (const TStreamableControl* child : children) PutControl(out, *child);
}

// Reads the byte form, refusing anything short, oversized or left over.
class TReader {
 public:
  explicit TReader(const std::vector<uint8_t>& bytes) : FBytes(bytes) {}

  bool Signature() {
    if (FBytes.size() < sizeof(kSignature)) return false;
    for (size_t i = 0; i < sizeof(kSignature); ++i)
      if (FBytes[i] != static_cast<uint8_t>(kSignature[i])) return false;
    FPos = sizeof(kSignature);
    return true;
  }

  bool U32(uint32_t& v) {
    if (FBytes.size() - FPos < 4) return false;
    v = 0;
    for (int i = 0; i < 4; ++i) v |= static_cast<uint32_t>(FBytes[FPos + i]) << (8 * i);
    FPos += 4;
    return true;
  }

  bool Text(std::wstring& text) {
    uint32_t count = 0;
    if (!U32(count) || (FBytes.size() - FPos) / 2 < count) return false;
    text.resize(count);
    for (uint32_t i = 0; i < count; ++i, FPos += 2)
      text[i] = static_cast<wchar_t>(FBytes[FPos] | (FBytes[FPos + 1] << 8));
    return true;
  }

  bool Control(TControlData& data, int depth) {
    if (depth > kMaxControlDepth) return false;
    uint32_t count = 0;
    if (!Text(data.ClassName) || !Text(data.Name) || !U32(count)) return false;
    // Counts are checked against the bytes left by the reads themselves, never trusted for sizes.
    for (uint32_t i = 0; i < count; ++i) {
      TControlProperty p;
      if (!Text(p.Name) || !Text(p.Value)) return false;
      data.Properties.push_back(std::move(p));
    }
    if (!U32(count)) return false;
    for (uint32_t i = 0; i < count; ++i) {
      data.Children.emplace_back();
      if (!Control(data.Children.back(), depth + 1)) return false;
    }
    return true;
  }

  bool AtEnd() const { return FPos == FBytes.size(); }

 private:
  const std::vector<uint8_t>& FBytes;
  size_t FPos = 0;
};

void CollectDepthFirst(TStreamableControl* control, std::vector<std::pair<TStreamableControl*, std::wstring>>& names) {
  names.emplace_back(control, control->Name());
  for (TStreamableControl* child : control->Children()) CollectDepthFirst(child, names);
}

bool Fill(TStreamableControl& factory, TStreamableControl* made, const TControlData& data) {
  if (!made->SetName(data.Name)) return false;
  for (const TControlProperty& p : data.Properties)
    if (!made->SetProperty(p)) return false;
  for (const TControlData& childData : data.Children) {
    TStreamableControl* child = factory.CreateControl(childData.ClassName, made);
    if (!child || !Fill(factory, child, childData)) return false;
  }
  return true;
}

}  // namespace

std::vector<uint8_t> SaveControl(const TStreamableControl& control) {
  std::vector<uint8_t> out(std::begin(kSignature), std::end(kSignature));
  PutControl(out, control);
  return out;
}

std::optional<TControlData> LoadControlData(const std::vector<uint8_t>& bytes) {
  TReader reader(bytes);
  TControlData data;
  if (!reader.Signature() || !reader.Control(data, 1) || !reader.AtEnd()) return std::nullopt;
  return data;
}

bool RebuildControl(TStreamableControl*& control, const std::vector<uint8_t>& bytes) {
  if (!control) return false;
  std::vector<std::pair<TStreamableControl*, std::wstring>> names;
  CollectDepthFirst(control, names);
  // The stored controls carry the same names, which their owner allows only once.
  for (auto& entry : names) entry.first->SetName(L"");

  std::optional<TControlData> data = LoadControlData(bytes);
  TStreamableControl* made = data ? control->CreateControl(data->ClassName, control->Parent()) : nullptr;
  if (made && Fill(*control, made, *data)) {
    control->Free();
    control = made;
    return true;
  }
  if (made) made->Free();
  for (auto& entry : names) entry.first->SetName(entry.second);
  return false;
}

}  // namespace settings
