#include "collection_plan.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <set>

#include "dupes/name_matcher.h"
#include "song_names.h"

namespace mv {
namespace {

// A folder name as a file system accepts it: no separator, not hidden.
std::string FolderName(std::string s) {
    std::replace(s.begin(), s.end(), '/', '-');
    while (!s.empty() && (s.front() == '.' || s.front() == ' ')) s.erase(0, 1);
    while (!s.empty() && (s.back() == '.' || s.back() == ' ')) s.pop_back();
    return s.empty() ? std::string("Unknown") : s;
}

struct Original {
    Song song;
    std::string folder;
    std::string name;
    uint32_t size;
};

class Planner {
  public:
    explicit Planner(const PlanParams& p)
        : params_(p), dice_(p.seed), words_(p.seed, 30000), maker_(words_, dice_) {}

    CollectionPlan Run() {
        const auto dupes = static_cast<size_t>(
            std::llround(static_cast<double>(params_.files) * params_.nearDuplicateShare));
        const size_t originals = params_.files - std::min(dupes, params_.files);
        while (originals_.size() < originals) AddArtist(originals);
        for (const Original& o : originals_) Add(o.folder, o.name, o.size, false);
        if (!originals_.empty()) {
            while (plan_.files.size() < params_.files) AddNearDuplicate();
        }
        if (params_.listTitles > 0) PlanList();
        return std::move(plan_);
    }

  private:
    void AddArtist(size_t limit) {
        const std::string artist = maker_.Artist();
        const std::string artistFolder = FolderName(artist);
        const uint32_t albums = 1 + dice_.Below(3);
        for (uint32_t a = 0; a < albums && originals_.size() < limit; ++a) {
            const std::string album = maker_.Album();
            const NameStyle style = DrawNameStyle(dice_);
            const std::string folder = artistFolder + "/" + FolderName(album);
            const bool twoDiscs = dice_.Chance(0.1);
            const int tracks = 6 + static_cast<int>(dice_.Below(10));
            if (dice_.Chance(0.3)) plan_.coverFolders.push_back(folder);
            for (int t = 1; t <= tracks && originals_.size() < limit; ++t) {
                Song song{artist, album, maker_.Title(), t};
                const std::string where =
                    twoDiscs ? folder + (t <= tracks / 2 ? "/CD1" : "/CD2") : folder;
                originals_.push_back({song, where, FormatFileName(song, style), Size()});
            }
        }
        // Now and then a few loose songs straight in the artist's folder.
        if (dice_.Chance(0.05)) {
            const NameStyle style = DrawNameStyle(dice_);
            const uint32_t singles = 1 + dice_.Below(3);
            for (uint32_t s = 0; s < singles && originals_.size() < limit; ++s) {
                Song song{artist, "Singles", maker_.Title(), 1};
                originals_.push_back({song, artistFolder, FormatFileName(song, style), Size()});
            }
        }
    }

    void AddNearDuplicate() {
        const Original& o = originals_[dice_.Below(static_cast<uint32_t>(originals_.size()))];
        std::string folder;
        const uint32_t roll = dice_.Below(100);
        if (roll < 40) {
            folder = "Compilations/" + FolderName("Hits " + std::to_string(1980 + dice_.Below(40)));
        } else if (roll < 70) {
            folder = "Downloads";
        } else if (roll < 90) {
            folder = "Misc/" + FolderName(words_.Common(dice_));
        } else {
            folder = o.folder;
        }
        const uint32_t size = dice_.Chance(0.5) ? o.size : Size();
        Add(folder, NearDuplicateName(o.song, dice_), size, true);
    }

    void Add(const std::string& folder, std::string name, uint32_t size, bool nearDuplicate) {
        // Two songs may come out with one name in one folder: number the later.
        auto& names = taken_[folder];
        if (!names.insert(name).second) {
            const size_t dot = name.rfind('.');
            for (int k = 2;; ++k) {
                std::string other =
                    name.substr(0, dot) + " (" + std::to_string(k) + ")" + name.substr(dot);
                if (names.insert(other).second) {
                    name = std::move(other);
                    break;
                }
            }
        }
        plan_.files.push_back({folder, std::move(name), size, nearDuplicate});
    }

    uint32_t Size() { return 16 + dice_.Below(496); }

    // The catalogue: some of the songs on disk are already on CD (under their
    // own name or a slightly different one), the rest are songs of other
    // albums. Albums are burned whole, about 150 titles to a CD.
    void PlanList() {
        struct Album {
            std::string artist, album;
            std::vector<std::string> titles;
        };
        std::vector<Album> albums;
        std::map<std::pair<std::string, std::string>, size_t> byFolder;
        const size_t shared = std::min(originals_.size() / 5, params_.listTitles / 10);
        size_t titles = 0;
        for (size_t k = 0; k < shared; ++k) {
            const Original& o = originals_[dice_.Below(static_cast<uint32_t>(originals_.size()))];
            const auto key = std::make_pair(o.song.artist, o.song.album);
            auto it = byFolder.find(key);
            if (it == byFolder.end()) {
                it = byFolder.emplace(key, albums.size()).first;
                albums.push_back({o.song.artist, o.song.album, {}});
            }
            const std::string name = dice_.Chance(0.7) ? o.name : NearDuplicateName(o.song, dice_);
            albums[it->second].titles.push_back(NormalizeName(name));
            ++titles;
        }
        while (titles < params_.listTitles) {
            Album a{maker_.Artist(), maker_.Album(), {}};
            const NameStyle style = DrawNameStyle(dice_);
            const int tracks = 8 + static_cast<int>(dice_.Below(7));
            for (int t = 1; t <= tracks && titles < params_.listTitles; ++t, ++titles) {
                a.titles.push_back(
                    NormalizeName(FormatFileName({a.artist, a.album, maker_.Title(), t}, style)));
            }
            albums.push_back(std::move(a));
        }
        for (size_t k = albums.size(); k > 1; --k) {
            std::swap(albums[k - 1], albums[dice_.Below(static_cast<uint32_t>(k))]);
        }

        auto& lines = plan_.listLines;
        lines.push_back("\\Mp3 List");
        size_t onCd = 0;
        size_t capacity = 0;
        int cd = 0;
        for (const Album& a : albums) {
            if (onCd >= capacity) {
                ++cd;
                char marker[32];
                std::snprintf(marker, sizeof marker, "\\MP3 CD %03d", cd);
                lines.push_back(marker);
                onCd = 0;
                capacity = 120 + dice_.Below(130);
            }
            lines.push_back("/" + FolderName(a.artist));
            lines.push_back("/" + FolderName(a.album));
            lines.insert(lines.end(), a.titles.begin(), a.titles.end());
            lines.push_back("..");
            lines.push_back("..");
            onCd += a.titles.size();
            plan_.listTitles += a.titles.size();
        }
    }

    const PlanParams& params_;
    Dice dice_;
    Vocabulary words_;
    SongMaker maker_;
    std::vector<Original> originals_;
    std::map<std::string, std::set<std::string>> taken_;
    CollectionPlan plan_;
};

}  // namespace

CollectionPlan PlanCollection(const PlanParams& params) {
    return Planner(params).Run();
}

}  // namespace mv
