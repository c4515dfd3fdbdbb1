#include "media/media_facts.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <taglib/apefooter.h>
#include <taglib/apetag.h>
#include <taglib/id3v2framefactory.h>
#include <taglib/mpegfile.h>
#include <taglib/mpegheader.h>
#include <taglib/mpegproperties.h>
#include <taglib/xingheader.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <exception>

#include "media/descriptor_stream.h"
#include "media/file_bytes.h"
#include "media/file_key.h"
#include "media/file_window.h"
#include "media/frame_scan.h"
#include "platform/owned_fd.h"

namespace mv {

namespace {

constexpr char kNotMpeg[] = "not MPEG audio";
constexpr std::uint64_t kId3v1Size = 128;
// Frames whose bitrates are compared to tell VBR from CBR when the first
// frame carries no Xing or VBRI header.
constexpr int kBitrateProbes = 64;

// TagLib names a frame's header for frames and their factory only.
struct FrameNames : TagLib::ID3v2::Frame {
    using Frame::Header;
};

// The facts need where an ID3v2 tag ends, never what its frames say: a
// factory that keeps no frame spares TagLib building each of them.
class NoFrames : public TagLib::ID3v2::FrameFactory {
  protected:
    bool updateFrame(FrameNames::Header*) const override { return false; }
};

MediaFacts Refused(FactsStatus status, std::string problem, std::uint64_t size = 0) {
    MediaFacts facts;
    facts.status = status;
    facts.problem = std::move(problem);
    facts.size = size;
    return facts;
}

// lame marks its CBR files with an "Info" header and VBR ones with "Xing";
// TagLib reads both as one type, so the first frame's bytes tell them apart.
// Without either header the bitrates of the first frames decide.
bool IsVbr(TagLib::MPEG::File& file, FileWindow& window, long first) {
    const TagLib::MPEG::Header header(&file, first, false);
    if (!header.isValid()) return false;
    const std::string frame =
        window.Bytes(static_cast<std::uint64_t>(first),
                     static_cast<std::size_t>(std::max(header.frameLength(), 4)));
    if (frame.find("Xing") != std::string::npos || frame.find("VBRI") != std::string::npos) {
        return true;
    }
    if (frame.find("Info") != std::string::npos) return false;
    long offset = first;
    for (int probe = 0; probe < kBitrateProbes && offset >= 0; ++probe) {
        const TagLib::MPEG::Header next(&file, offset, false);
        if (!next.isValid() || next.frameLength() <= 0) break;
        if (next.bitrate() != header.bitrate()) return true;
        offset = file.nextFrameOffset(offset + next.frameLength());
    }
    return false;
}

bool HasVbrHeader(const TagLib::MPEG::Properties& properties) {
    const TagLib::MPEG::XingHeader* xing = properties.xingHeader();
    return xing != nullptr && xing->isValid();
}

// The audio range: from the first frame to the first tag at the end.
void ReadAudioRange(TagLib::MPEG::File& file, FileWindow& window, long first, MediaFacts& facts) {
    std::uint64_t end = facts.size;
    if (facts.id3v1 && end >= kId3v1Size) end -= kId3v1Size;
    // TagLib keeps where it found the APE tag to itself; its size is public,
    // and TagLib looks for it only directly before ID3v1 or at the very end.
    if (facts.ape && file.APETag() != nullptr && file.APETag()->footer() != nullptr) {
        const std::uint64_t ape = file.APETag()->footer()->completeTagSize();
        if (ape <= end) end -= ape;
    }
    const auto floor = static_cast<std::uint64_t>(first);
    end = std::max(TrailingTagsStart(window, end, floor), floor);
    facts.audioOffset = floor;
    facts.audioLength = end - floor;
}

void ReadMpeg(FileWindow& window, MediaFacts& facts) {
    DescriptorStream stream(window);
    static NoFrames noFrames;
    TagLib::MPEG::File file(&stream, &noFrames, true, TagLib::AudioProperties::Accurate);
    const TagLib::MPEG::Properties* properties = file.audioProperties();
    const long first = file.isValid() ? file.firstFrameOffset() : -1;
    if (properties == nullptr || first < 0 || properties->lengthInMilliseconds() <= 0) {
        facts = Refused(FactsStatus::NotMpegAudio, kNotMpeg, facts.size);
        return;
    }
    facts.status = FactsStatus::Audio;
    facts.durationMs = properties->lengthInMilliseconds();
    facts.bitrateKbps = properties->bitrate();
    facts.sampleRate = properties->sampleRate();
    facts.channels = properties->channels();
    facts.id3v1 = file.hasID3v1Tag();
    facts.id3v2 = file.hasID3v2Tag();
    facts.ape = file.hasAPETag();
    facts.vbr = IsVbr(file, window, first);
    if (!facts.vbr) {
        // TagLib averages over the whole stream, header frame included, and
        // can say 129 for a 128 kbit/s file; a user knows it by its nominal rate.
        const TagLib::MPEG::Header header(&file, first, false);
        if (header.isValid() && header.bitrate() > 0) facts.bitrateKbps = header.bitrate();
    }
    ReadAudioRange(file, window, first, facts);
    if (facts.vbr && !HasVbrHeader(*properties)) {
        // TagLib reckons such a stream's length from its first frame's
        // bitrate; only counting the frames gives the real one.
        if (const auto scanned = ScanDurationMs(window.fd()); scanned && *scanned > 0) {
            facts.durationMs = *scanned;
            facts.bitrateKbps = static_cast<int>(facts.audioLength * 8 / *scanned);
        }
    }
}

MediaFacts ReadOpened(const std::string& path, bool hashAudio, const WindowSizes& sizes,
                      FileKey* key) {
    const OwnedFd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (fd.get() < 0) return Refused(FactsStatus::Unreadable, std::strerror(errno));
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) return Refused(FactsStatus::Unreadable, std::strerror(errno));
    if (!S_ISREG(st.st_mode)) {
        return Refused(FactsStatus::Unreadable,
                       S_ISDIR(st.st_mode) ? "is a folder" : "not a regular file");
    }
    const auto size = static_cast<std::uint64_t>(st.st_size);
    if (key != nullptr) *key = FileKeyOf(st);
    if (size == 0) return Refused(FactsStatus::NotMpegAudio, kNotMpeg, 0);
    MediaFacts facts;
    facts.size = size;
    FileWindow window(fd.get(), size, sizes);
    ReadMpeg(window, facts);
    if (facts.status == FactsStatus::Audio && hashAudio) {
        std::string problem;
        facts.audioHash = HashByteRange(fd.get(), facts.audioOffset, facts.audioLength, &problem);
        if (!facts.audioHash) return Refused(FactsStatus::Unreadable, problem, size);
    }
    return facts;
}

}  // namespace

bool HashKnownAudio(const std::string& path, const FileKey& key, MediaFacts& facts) {
    if (facts.status != FactsStatus::Audio) return false;
    const OwnedFd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    struct stat st {};
    if (fd.get() < 0 || ::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode) ||
        !(FileKeyOf(st) == key)) {
        return false;
    }
    std::string problem;
    facts.audioHash = HashByteRange(fd.get(), facts.audioOffset, facts.audioLength, &problem);
    return facts.audioHash.has_value();
}

std::string AudioHash::Hex() const {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string hex(32, '0');
    for (int i = 0; i < 16; ++i) {
        hex[15 - i] = kDigits[(high >> (4 * i)) & 0xF];
        hex[31 - i] = kDigits[(low >> (4 * i)) & 0xF];
    }
    return hex;
}

std::optional<bool> SameAudio(const MediaFacts& a, const MediaFacts& b) {
    if (a.status != FactsStatus::Audio || b.status != FactsStatus::Audio) return std::nullopt;
    if (a.audioLength != b.audioLength) return false;
    if (!a.audioHash || !b.audioHash) return std::nullopt;
    return *a.audioHash == *b.audioHash;
}

MediaFacts ReadMediaFactsWindowed(const std::string& path, bool hashAudio, const WindowSizes& sizes,
                                  FileKey* key) {
    // The boundary: TagLib or the allocator may throw; a caller never sees it.
    try {
        return ReadOpened(path, hashAudio, sizes, key);
    } catch (const std::exception& e) {
        return Refused(FactsStatus::Unreadable, e.what());
    } catch (...) {
        return Refused(FactsStatus::Unreadable, "unexpected failure while reading");
    }
}

MediaFacts ReadMediaFactsKeyed(const std::string& path, bool hashAudio, FileKey* key) {
    return ReadMediaFactsWindowed(path, hashAudio, WindowSizes{}, key);
}

MediaFacts ReadMediaFacts(const std::string& path, bool hashAudio) {
    return ReadMediaFactsKeyed(path, hashAudio, nullptr);
}

bool StatFileKey(const std::string& path, FileKey* key) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    *key = FileKeyOf(st);
    return true;
}

}  // namespace mv
