// The taken time of real photos and movies, made by exiftool and ImageMagick before the tests run
// (make_fixtures.py), read from disk as the program reads them; damaged copies of them; the text forms.
#include "comm/FileBytes.h"
#include "engine/TakenTimeFile.h"
#include "media/Exif.h"
#include "media/TakenTime.h"
#include <gtest/gtest.h>
#include <cstdio>
#include <set>
#include <string>
#include <tuple>

using media::TMediaTime;
using Zone = media::TMediaTime::TZone;

namespace {

// The files the fixture step made beside the test program.
std::wstring Fixture(const std::wstring& name) {
  std::wstring exe(32768, L'\0');
  exe.resize(GetModuleFileNameW(nullptr, exe.data(), static_cast<DWORD>(exe.size())));
  return exe.substr(0, exe.find_last_of(L'\\') + 1) + L"media-fixtures\\" + name;
}

std::string Bytes(const std::wstring& name) {
  std::string bytes;
  EXPECT_EQ(comm::comm_ReadFileBytes(Fixture(name), bytes, 0).Result, comm::rbRead) << "make_fixtures.py made no file";
  return bytes;
}

std::string Text(const std::optional<TMediaTime>& t) {
  if (!t) return "none";
  char s[64];
  std::snprintf(s, sizeof s, "%04d-%02d-%02d %02d:%02d:%02d %s%d", t->Year, t->Month, t->Day, t->Hour, t->Minute,
                t->Second, t->Zone == Zone::Local ? "local" : t->Zone == Zone::Utc ? "utc" : "offset", t->OffsetMinutes);
  return s;
}

struct TExpected {
  const wchar_t* Name;
  const char* Time;  // as Text() writes it
};

// Every fixture with what it states. The Exif ones state a later DateTimeOriginal (2025), an earlier
// DateTimeDigitized (2024) and DateTime (2023), so the choice among them shows.
const TExpected kFiles[] = {
    {L"original.jpg", "2025-07-14 15:07:58 offset540"},  // OffsetTimeOriginal, not OffsetTime
    {L"digitized.jpg", "2024-02-29 23:59:59 local0"},
    {L"modified-mm.jpg", "2023-02-02 02:02:02 offset-330"},
    {L"zero-then-modified.jpg", "2023-02-02 02:02:02 local0"},
    {L"camera.jpg", "2025-07-14 15:07:58 local0"},
    {L"zero.jpg", "none"},
    {L"month13.jpg", "none"},
    {L"unset-clock.jpg", "none"},  // 1970 and 1904
    {L"no-exif.jpg", "none"},
    {L"original.tif", "2025-07-14 15:07:58 offset540"},
    {L"original-mm.tif", "2025-07-14 15:07:58 local0"},
    {L"original.orf", "2025-07-14 15:07:58 offset540"},
    {L"original.rw2", "2025-07-14 15:07:58 offset540"},
    {L"exif.png", "2025-07-14 15:07:58 local0"},
    {L"text.png", "2025-07-14 15:07:58 local0"},
    {L"text-mail.png", "2025-07-14 15:07:58 offset540"},
    {L"exif.webp", "2025-07-14 15:07:58 offset-180"},
    {L"exif.heic", "2025-07-14 15:07:58 offset540"},
    {L"made.heic", "2025-07-14 15:07:58 offset540"},
    {L"made.avif", "2025-07-14 15:07:58 local0"},
    {L"header.mp4", "2025-07-14 06:07:58 utc0"},
    {L"header-v1.m4v", "2025-07-14 06:07:58 utc0"},
    {L"keys.mov", "2025-07-14 15:07:58 offset540"},  // over the movie header's 2020
    {L"unset.3gp", "none"},
    {L"epoch.mp4", "none"},
};

// Counts what a reader asks of a source.
class TCounting final : public media::IByteSource {
 public:
  explicit TCounting(media::IByteSource& source) : FSource(source) {}
  uint64_t Size() const override { return FSource.Size(); }
  bool Read(uint64_t offset, void* out, size_t count) override {
    ++Reads;
    Bytes += count;
    return FSource.Read(offset, out, count);
  }
  int Reads = 0;
  uint64_t Bytes = 0;

 private:
  media::IByteSource& FSource;
};

}  // namespace

TEST(TakenTime, ReadsWhatEachFormatStatesFromDisk) {
  for (const TExpected& e : kFiles) EXPECT_EQ(Text(engine::ReadFileTakenTime(Fixture(e.Name))), e.Time) << e.Name;
  // What cannot be opened as a file states nothing.
  EXPECT_FALSE(engine::ReadFileTakenTime(Fixture(L"missing.jpg")));
  EXPECT_FALSE(engine::ReadFileTakenTime(Fixture(L"")));
}

// A camera's JPEG and a 200 MB movie whose moov follows mdat cost the same few small reads.
TEST(TakenTime, ReadsAFewBytesWhereTheFormatPoints) {
  for (const wchar_t* name : {L"camera.jpg", L"big.mp4"}) {
    engine::TFileByteSource file(Fixture(name));
    ASSERT_TRUE(file.Valid()) << name;
    TCounting counting(file);
    EXPECT_TRUE(media::ReadTakenTime(counting)) << name;
    std::printf("%ls: %llu bytes, %d reads of %llu bytes\n", name, static_cast<unsigned long long>(file.Size()),
                counting.Reads, static_cast<unsigned long long>(counting.Bytes));
    EXPECT_LE(counting.Reads, 3) << name;
    EXPECT_LE(counting.Bytes, 3u * media::TWindowSource::kWindow) << name;
  }
}

// Every cut of every fixture, and every byte of it flipped: never a crash, never an invalid time, and
// a cut copy never states a time its file does not.
TEST(TakenTime, DamagedCopiesGiveNoValueOrAValidOne) {
  const std::set<std::string> stated = {"2025-07-14", "2024-02-29", "2024-01-01", "2023-02-02", "2020-01-01"};
  for (const TExpected& e : kFiles) {
    std::string bytes = Bytes(e.Name);
    for (size_t length = 0; length < bytes.size(); ++length) {
      media::TMemorySource cut(bytes.data(), length);
      const std::optional<TMediaTime> t = media::ReadTakenTime(cut);
      if (t) {
        EXPECT_TRUE(media::IsValid(*t) && stated.count(Text(t).substr(0, 10))) << e.Name << " cut at " << length;
      }
    }
    for (size_t i = 0; i < bytes.size(); ++i) {
      for (const unsigned char flip : {0x01, 0x80, 0xFF}) {
        bytes[i] = static_cast<char>(bytes[i] ^ flip);
        media::TMemorySource flipped(bytes.data(), bytes.size());
        const std::optional<TMediaTime> t = media::ReadTakenTime(flipped);
        bytes[i] = static_cast<char>(bytes[i] ^ flip);
        if (t) {
          EXPECT_TRUE(media::IsValid(*t)) << e.Name << " flipped at " << i << ": " << Text(t);
        }
      }
    }
  }
}

// Offsets that point back where they came from, and sizes beyond the file, end with no value.
TEST(TakenTime, LoopsAndOversizedBoxesEnd) {
  // A TIFF whose IFD0 points at itself as its Exif IFD, and whose date lies past the end.
  std::string tiff("II*\0\x08\0\0\0\x02\0", 10);
  tiff += std::string("\x69\x87\x04\0\x01\0\0\0\x08\0\0\0", 12);           // Exif IFD at 8: IFD0 again
  tiff += std::string("\x03\x90\x02\0\x14\0\0\0\xF0\xFF\0\0", 12);         // DateTimeOriginal at 65520
  tiff += std::string("\0\0\0\0", 4);
  media::TMemorySource loop(tiff.data(), tiff.size());
  EXPECT_FALSE(media::ReadTakenTime(loop));
  // The same date placed within the file is read: the loop alone does not hide it.
  tiff[30] = static_cast<char>(tiff.size());
  tiff[31] = 0;
  tiff += "2025:07:14 15:07:58";
  tiff += '\0';
  media::TMemorySource within(tiff.data(), tiff.size());
  EXPECT_EQ(Text(media::ReadTakenTime(within)), "2025-07-14 15:07:58 local0");
  // A movie whose mdat claims 2^63 bytes by its 64-bit size, and one whose moov claims 4 GB.
  std::string movie("\0\0\0\x10" "ftypisom\0\0\0\0" "\0\0\0\x01" "mdat\x80\0\0\0\0\0\0\0", 32);
  media::TMemorySource huge(movie.data(), movie.size());
  EXPECT_FALSE(media::ReadTakenTime(huge));
  std::string moov("\0\0\0\x10" "ftypisom\0\0\0\0" "\xFF\xFF\xFF\xFF" "moov", 24);
  media::TMemorySource claims(moov.data(), moov.size());
  EXPECT_FALSE(media::ReadTakenTime(claims));
}

// A PNG's text chunks are looked for up to 32 chunks past its first image data chunk, not through
// the thousands a big picture has.
TEST(TakenTime, PngTextIsLookedForAFewChunksPastTheImageData) {
  const auto chunk = [](const char* type, const std::string& data) {
    const uint32_t n = static_cast<uint32_t>(data.size());
    return std::string{char(n >> 24), char(n >> 16), char(n >> 8), char(n)} + type + data + "CRC!";
  };
  for (const int chunks : {32, 33}) {
    std::string png = "\x89PNG\r\n\x1A\n" + chunk("IHDR", std::string(13, '\1'));
    for (int i = 0; i < chunks - 1; ++i) png += chunk("IDAT", std::string(100, 'x'));
    png += chunk("tEXt", std::string("Creation Time\0" "2025:07:14 15:07:58", 33)) + chunk("IEND", "");
    media::TMemorySource source(png.data(), png.size());
    EXPECT_EQ(Text(media::ReadTakenTime(source)), chunks == 32 ? "2025-07-14 15:07:58 local0" : "none") << chunks;
  }
}

// Date-times as text, as Exif, PNG text and QuickTime values write them, with near misses and both
// sides of each limit: the years 1980 and 2100, the zones of ±14 hours, 29 February.
TEST(TakenTime, TextTimesInTheFormsWritersUse) {
  const std::tuple<const char*, const char*> cases[] = {
      {"2025:07:14 15:07:58", "2025-07-14 15:07:58 local0"},
      {"2025-07-14T15:07:58+0900", "2025-07-14 15:07:58 offset540"},
      {"2025-07-14T15:07:58.123-03:30", "2025-07-14 15:07:58 offset-210"},
      {"2025-07-14T15:07:58Z", "2025-07-14 15:07:58 utc0"},
      {"2025-07-14 15:07", "2025-07-14 15:07:00 local0"},
      {"Mon, 14 Jul 2025 15:07:58 +0900", "2025-07-14 15:07:58 offset540"},
      {"4 Jul 2025 15:07:58 GMT", "2025-07-04 15:07:58 utc0"},
      {" 2025:07:14 15:07:58\0", "2025-07-14 15:07:58 local0"},
      {"1980:01:01 00:00:00", "1980-01-01 00:00:00 local0"},
      {"1979:12:31 23:59:59", "none"},
      {"2100:12:31 23:59:59", "2100-12-31 23:59:59 local0"},
      {"2101:01:01 00:00:00", "none"},
      {"2024:02:29 12:00:00", "2024-02-29 12:00:00 local0"},
      {"2025:02:29 12:00:00", "none"},
      {"2025:07:14 24:00:00", "none"},
      {"2025:07:14 15:07:58+14:00", "2025-07-14 15:07:58 offset840"},
      {"2025:07:14 15:07:58+14:01", "none"},
      {"2025:07:14 15:07:58 later", "none"},
      {"2025:07:14", "none"},
      {"    :  :     :  :  ", "none"},
      {"14 Jux 2025 15:07:58", "none"},
  };
  for (const auto& [text, expected] : cases) EXPECT_EQ(Text(media::ParseTextTime(text)), expected) << text;
  EXPECT_EQ(media::ParseZoneOffset("-05:30"), -330);
  EXPECT_EQ(media::ParseZoneOffset("+0900"), 540);
  EXPECT_FALSE(media::ParseZoneOffset("   :  "));
  EXPECT_FALSE(media::ParseZoneOffset("09:00"));
}
