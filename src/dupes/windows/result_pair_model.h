#pragma once

#include <QAbstractTableModel>
#include <QIcon>
#include <optional>
#include <vector>

#include "dupes/result_rows.h"

namespace mv {

// The row pairs behind the two result lists: column 0 is the left list
// (lbCompRes), column 1 the right one (lbFile). One model for both keeps the
// two lists at the same number of rows by construction.
class ResultPairModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    // Item data beside the display text.
    enum Role {
        BytesRole = Qt::UserRole,  // the row's text as stored (QByteArray)
        KindRole,                  // mv::RowKind as int
    };
    // The text a marked left entry gives to assistive technology.
    static constexpr const char* kSameAudioText = "same audio";
    static constexpr const char* kSameRecordingText = "same recording";

    // What the check of the sound found for one row: nothing yet, or the
    // similarity of its two files' prints (nullopt: a file had no print).
    struct RowSound {
        bool checked = false;
        std::optional<double> similarity;
    };

    explicit ResultPairModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    const std::vector<mv::ResultRow>& rows() const { return rows_; }
    void Clear();
    // Appends a batch with one insertion notice.
    void Append(std::vector<mv::ResultRow>&& batch);
    // Removes the given rows (ascending indices).
    void RemoveRows(const std::vector<std::size_t>& ascending);
    // Exchanges the two sides of row k.
    void SwapSides(int k);
    // Marks the left entry of each row whose flag is set (the two files hold
    // the same audio) with a sign that reads without colour. Rows appended
    // later are unmarked; a removed row takes its mark with it.
    void SetSameAudio(const std::vector<bool>& rows);
    bool SameAudio(int k) const;
    // The sound of each row as checked, with a mark of its own (a ring with a
    // wavy equals sign) on the left entry of a same-recording pair; a
    // same-audio pair keeps the same-audio sign. Kept in step with the rows
    // as SetSameAudio is.
    void SetSound(const std::vector<RowSound>& rows);
    const RowSound& SoundOf(int k) const;
    bool SameRecording(int k) const;

  Q_SIGNALS:
    // Clear() emptied the model: its rows belong to no run any more. (A large
    // removal resets the model too, but keeps the run.)
    void Cleared();

  private:
    // What assistive technology hears of row k's marks; none when unmarked.
    QVariant Description(int k) const;

    std::vector<mv::ResultRow> rows_;
    std::vector<bool> sameAudio_;  // one per row, in step with rows_
    std::vector<RowSound> sound_;  // one per row, in step with rows_
    mutable QIcon sameAudioMark_;  // painted on first use
    mutable QIcon sameRecordingMark_;
};

}  // namespace mv
