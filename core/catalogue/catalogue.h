#pragma once

// The data manager's catalogue work without any window: reading bearing.sav, the list of
// EditerLines as a model, an addition or edit of the list, ordering the lines, writing bearing.sav
// back from them, and the TestData.txt dump.

#include "catalogue/editerline.h"
#include "records/recordfile.h"

#include <QAbstractListModel>
#include <QStringList>

#include <optional>

namespace BearingCatalogue {

// The catalogue as the data manager read it: one record per whole slot (at most 32767), the
// file's bytes and fingerprint, and what was not read (empty when the records are the whole file).
struct Catalogue
{
    QList<BearingRecord> records;
    RecordFiles::Snapshot file;
    // "bearing.sav 末尾有 20 个字节不是完整记录", "第 7 个记录的型号不是有效的 GBK 编码",
    // "只读入了前 32767 个记录"
    QStringList problems;
    bool readWhole() const { return problems.isEmpty(); }
};

// Reads the catalogue at path (a missing file is created empty).
Result<Catalogue> load(const QString &path);

// Stores lines into the catalogue at path, only if the file still holds what read was taken of:
// ChangedMeanwhile tells that another program wrote it meanwhile (nothing is written; read it
// again). A line that shows one of the records read (the user did not edit it) is stored with that
// record's own bytes (a model that is not GBK, NaN and infinities stay as they were); any other
// line as its columns read (EditerLine::toRecord). With backup, the file's bytes are first copied
// to bearing.bak beside it. Once stored, read becomes what was stored.
enum class Stored { Done, ChangedMeanwhile };
Result<Stored> store(const QString &path, Catalogue &read, const QStringList &lines, bool backup);

// The catalogue order: by the first three characters of the model with letter case ignored
// (the same in every locale: code units of the case-folded text, so a blank sorts before digits
// and digits before letters), then by the type code, then by d ascending. Stable: lines with
// equal keys keep their order.
void sortLines(QStringList &lines);

// An addition (no edit given) or an edit of the list from the texts of the manager's boxes.
struct Edit
{
    int index = -1; // the line being edited
    QString model; // its model column when the edit began
};
struct Change
{
    QStringList lines; // the list with the new line, not yet sorted
    QString model; // the new line's model column, to choose it once stored
    // Which box to return to when refused (Field::None: accepted). Model: the text is blank;
    // ModelTaken: another line has the model; Line: the edited line is no longer where the edit
    // began (a reload in between); Full: the catalogue holds 32767 bearings already.
    EditerLine::Refusal refusal;
    QString message; // told the user before the refusal, or empty
};
// The model must be GBK (a character GBK lacks would be stored as '?' and make it another model)
// and new to the list (letter case counts) except at the edited line itself.
Change applyEntry(const QStringList &lines, const EditerLine::Entry &entry,
    const std::optional<Edit> &edit, const QString &path);

// Writes every line to a text file in GBK with CR LF line ends, replacing the file. A link at path
// is not followed (the dump goes to a fixed name in the record folder).
Result<> dumpLines(const QString &path, const QStringList &lines);

} // namespace BearingCatalogue

// The data manager's list: the records as read, each shown as its EditerLine made when the view
// asks for it, so opening a catalogue of 32767 bearings costs little more than reading it. Once the
// user's changes are stored, the list holds the stored lines themselves. Qt::DisplayRole gives the
// line padded to whole cells (EditerLine::displayText), Qt::EditRole the line itself.
class CatalogueModel : public QAbstractListModel
{
    Q_OBJECT

public:
    using QAbstractListModel::QAbstractListModel;

    void setRecords(QList<BearingRecord> records);
    void setLines(QStringList lines);
    QString line(int row) const;
    QStringList lines() const;
    // The first row whose model column is model (letter case counts), or -1.
    int findModel(const QString &model) const;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

private:
    QList<BearingRecord> m_records;
    QStringList m_lines; // when set, the rows instead of m_records
};
