// Every text the operator types that reaches SQL or a file name keeps its
// value: group number, variety, header captions, user names, report template
// names and record search texts, each over the same nasty values (quotes,
// ';', '--', '%', '_', backslashes, Chinese, emoji, very long text) against a
// fresh database. Surrounding blanks are trimmed everywhere alike; a field
// with a limit refuses before anything is written.
#include "CemCompTest.h"
#include "ModuleTestSupport.h"
#include "records/AuditSnapshot.h"
#include "records/CaptionEditor.h"
#include "records/RecordsBrowser.h"
#include "store/AuditTrail.h"
#include "store/DataModule.h"
#include "store/UserAdmin.h"
#include "ui/dialogs/AddUserDialog.h"
#include "ui/dialogs/LoginDialog.h"

#include <QFile>
#include <QTemporaryDir>

using namespace kv;
using kvtest::Child;

namespace {

const bool kRecording = (modtest::Messages(), true);

// The values every field is tried with.
QStringList Nasty()
{
    return {QStringLiteral("it's"),      QStringLiteral("say \"hi\""), QStringLiteral("a;b"),
            QStringLiteral("1--2"),      QStringLiteral("--"),         QStringLiteral("50%"),
            QStringLiteral("a_b"),       QStringLiteral("%_!"),        QStringLiteral("back\\slash"),
            QStringLiteral("\\"),        QStringLiteral("中文"),       QStringLiteral("😀"),
            QStringLiteral("x😀y"),      QStringLiteral("';--"),       QStringLiteral("x' or '1'='1")};
}

// A long text of Chinese, quotes, emoji and '%', n UTF-16 units (an emoji
// is two of them; the last one is never cut in half).
QString Long(int n)
{
    QString s;
    const QString parts[] = {QStringLiteral("长"), QStringLiteral("'"), QStringLiteral("😀"), QStringLiteral("%")};
    for (int i = 0; s.size() < n; ++i)
        s += s.size() + parts[i % 4].size() <= n ? parts[i % 4] : QStringLiteral("x");
    return s;
}

// Characters a file name cannot hold: the run refuses such a group number.
bool FileNameSafe(const QString &v)
{
    for (QChar c : QStringLiteral("/\\*:?\"<>|"))
        if (v.contains(c))
            return false;
    return true;
}

struct TGroupRig {
    modtest::TDb Db;
    QTemporaryDir Program;
    cem::TCemCompTest Test;
    TGroupRig() { modtest::Load(Test, Db.Conn, Program.path()); }

    // One specimen of a group, its curve written as the run does.
    void Store(const QString &typed, const QString &variety = QStringLiteral("P·O"))
    {
        fw::TParamForm *f = Test.ParamForm();
        Child<QLineEdit>(*f, "edtGroupNo")->setText(typed);
        Child<QComboBox>(*f, "cbVariety")->setCurrentText(variety);
        Child<QComboBox>(*f, "cbCount")->setCurrentText(QStringLiteral("1"));
        Child<QComboBox>(*f, "cbSize")->setCurrentText(QStringLiteral("40*40"));
        Child<QComboBox>(*f, "cbMode")->setCurrentIndex(0);
        QString msg;
        Test.BeginGroup(msg);
        ASSERT_EQ(msg, "");
        modtest::WriteCurve(Test, Program.path(), 1, modtest::Ramp(2400, 64000));
        ASSERT_EQ(modtest::RunSpecimen(Test, 64000), "");
        Test.EndGroup();
        Test.FCurrent = 1;
    }
    QStringList Column(const QString &sql)
    {
        kv::db::TDbQuery q(Db.Conn);
        q.setSql(sql);
        q.open();
        QStringList out;
        for (int r = 0; r < q.recordCount(); ++r)
            out << q.valueAt(r, 0).toString();
        return out;
    }
    QStringList Found(const QString &from, const QString &to = QString())
    {
        QStringList groups = Column(SearchStatement(Test, 0, from, to));
        groups.sort();
        return groups;
    }
};

} // namespace

// ---------------------------------------------------------------------------
// Group number: stored, found, its curve file, captions, report, deleted with
// its trail, and offered again as the last parameters.

TEST(BadText, GroupNumberKeepsItsValue)
{
    QStringList values;
    for (const QString &v : Nasty() + QStringList{Long(30), QStringLiteral("  padded  ")})
        if (FileNameSafe(v))
            values << v;
    for (const QString &typed : values) {
        SCOPED_TRACE(typed.toStdString());
        const QString v = typed.trimmed();
        TGroupRig rig;
        rig.Store(typed);
        EXPECT_EQ(rig.Column("select ZuHao from CemCompGroup"), QStringList{v});
        EXPECT_EQ(rig.Column("select ZuHao from CemCompGROne"), QStringList{v});
        EXPECT_EQ(rig.Test.CheckGroupState(), 1) << "the same number is a stored group";
        EXPECT_EQ(rig.Found(typed), QStringList{v});
        EXPECT_EQ(rig.Found(v, v), QStringList{v});

        rig.Test.FSelectedGroupNo = v;
        rig.Test.FSelectedAge = QStringLiteral("28");
        TCurvePoints curve;
        rig.Test.ReadCurve(0, curve);
        EXPECT_EQ(curve.size(), modtest::Ramp(2400, 64000).size()) << "the curve file of the group is found again";

        TZovData data(rig.Db.Fresh.path);
        TCaptionEditor captions(data, rig.Test, rig.Test.TestName(), v);
        captions.Save({{QStringLiteral("单位"), v.left(10), {}, {}}}, false);
        ASSERT_EQ(captions.Load().size(), 1);
        EXPECT_EQ(captions.Load().first().Data1, v.left(10));

        const fw::TParamValues last = rig.Test.LoadLastParams();
        EXPECT_EQ(last.GroupNo, v);

        TAuditEntry entry;
        entry.UserName = QStringLiteral("Admin");
        entry.TestKind = rig.Test.TestName();
        entry.GroupNo = v;
        ASSERT_TRUE(DeleteWithAudit(rig.Db.Conn, RecordStatement(rig.Test, v, 4), entry));
        EXPECT_TRUE(rig.Column("select ZuHao from CemCompGroup").isEmpty());
        TAuditTrail trail(rig.Db.Conn);
        EXPECT_EQ(trail.ForGroup(rig.Test.TestName(), v).size(), 1u);
    }
}

// The boxes with a length limit (group number 30, user names 10, passwords
// 15) refuse an emoji that no longer fits rather than keep half of it.
TEST(BadText, LimitedBoxesKeepWholeCharacters)
{
    TGroupRig rig;
    kvtest::TFreshDb fresh = kvtest::FreshDatabase();
    TZovData data(fresh.path);
    TfrmLogin login(data);
    TfrmAddUser add(data.conZovDb);
    const std::pair<QLineEdit *, int> boxes[] = {
        {Child<QLineEdit>(*rig.Test.ParamForm(), "edtGroupNo"), 30},
        {Child<QComboBox>(login, "edtName")->lineEdit(), 10},
        {Child<QLineEdit>(login, "edtSrc"), 15},
        {Child<QLineEdit>(add, "edtName"), 10}};
    for (const auto &[box, limit] : boxes) {
        SCOPED_TRACE(box->objectName().toStdString());
        box->clear();
        box->insert(QString(limit - 1, QLatin1Char('a')));
        box->insert(QStringLiteral("😀")); // typed, or pasted
        EXPECT_EQ(box->text(), QString(limit - 1, QLatin1Char('a'))) << "no half of an emoji is kept";
        box->clear();
        box->insert(QString(limit - 2, QLatin1Char('a')) + QStringLiteral("😀"));
        EXPECT_EQ(box->text().size(), limit) << "a whole one that fits is kept";
    }
}

// ---------------------------------------------------------------------------
// Variety: the group and specimen rows, the form's last values, a resumed group.

TEST(BadText, VarietyKeepsItsValue)
{
    for (const QString &typed : Nasty() + QStringList{Long(200), QStringLiteral(" padded ")}) {
        SCOPED_TRACE(typed.toStdString());
        const QString v = typed.trimmed();
        TGroupRig rig;
        rig.Store(QStringLiteral("V1"), typed);
        const QString grade = rig.Test.FGrade;
        const QString stored = grade.isEmpty() ? v : grade + QStringLiteral("  ") + v;
        EXPECT_EQ(rig.Column("select PingZhong from CemCompGroup"), QStringList{stored});
        EXPECT_EQ(rig.Column("select PingZhong from CemCompGROne"), QStringList{stored});
        EXPECT_EQ(rig.Test.LoadLastParams().Variety, v);
        // Reopened as an unfinished group, the form shows the variety again.
        rig.Db.Conn.execute("update CemCompGroup set SelectGroNum = 2");
        ASSERT_TRUE(rig.Test.ResumeGroup());
        EXPECT_EQ(Child<QComboBox>(*rig.Test.ParamForm(), "cbVariety")->currentText(), v);
    }
}

// ---------------------------------------------------------------------------
// Header captions: the group's lines and the defaults of the test kind.

TEST(BadText, HeaderCaptionsKeepTheirValue)
{
    TGroupRig rig;
    rig.Store(QStringLiteral("H1"));
    TZovData data(rig.Db.Fresh.path);
    for (const QString &typed : Nasty() + QStringList{Long(13), QStringLiteral(" padded ")}) {
        SCOPED_TRACE(typed.toStdString());
        const QString v = typed.trimmed();
        ASSERT_FALSE(CaptionTooLong(typed));
        const TCaptionLine line{v, v, v, v};
        TCaptionEditor group(data, rig.Test, rig.Test.TestName(), QStringLiteral("H1"));
        group.Save({TrimmedCaptionLine({typed, typed, typed, typed})}, true);
        EXPECT_EQ(group.Load(), TCaptionLines{line});
        // Another group without lines of its own gets the defaults.
        TCaptionEditor other(data, rig.Test, rig.Test.TestName(), QStringLiteral("other"));
        EXPECT_EQ(other.Load(), TCaptionLines{line});
    }
    // Longer than 20 bytes is refused before anything is written.
    EXPECT_TRUE(CaptionTooLong(QString(11, QChar(0x957F))));
}

// ---------------------------------------------------------------------------
// User names: added, listed, logged in, remembered, re-keyed and deleted.

TEST(BadText, UserNamesKeepTheirValue)
{
    kvtest::TFreshDb fresh = kvtest::FreshDatabase();
    TZovData data(fresh.path);
    TUserAdmin admin(data.conZovDb);
    QStringList values;
    for (const QString &v : Nasty() + QStringList{Long(10), QStringLiteral(" padded ")})
        if (v.trimmed().size() <= 10)
            values << v;
    for (const QString &typed : values) {
        SCOPED_TRACE(typed.toStdString());
        const QString v = typed.trimmed();
        const TUserResult added = admin.AddUser(typed, QStringLiteral("pass"), QStringLiteral("pass"));
        ASSERT_TRUE(added.Ok) << added.Message.toStdString();
        QList<TUserRow> rows;
        QString error;
        ASSERT_TRUE(admin.List(rows, error));
        EXPECT_EQ(std::count_if(rows.begin(), rows.end(), [&](const TUserRow &r) { return r.Name == v; }), 1);
        TLoginLogic login(data);
        EXPECT_TRUE(login.UserList().contains(v));
        EXPECT_TRUE(login.Check(typed, QStringLiteral("pass")).Accepted) << "typed as when it was added";
        EXPECT_EQ(login.LastUser(), v);
        EXPECT_TRUE(admin.ChangePassword(v, QStringLiteral("pass"), QStringLiteral("word"), QStringLiteral("word")).Ok);
        EXPECT_TRUE(login.Check(v, QStringLiteral("word")).Accepted);
        EXPECT_TRUE(admin.DeleteUser(v).Ok);
        ASSERT_TRUE(admin.List(rows, error));
        EXPECT_EQ(rows.size(), 2) << "only the built-in users are left";
    }
    // Longer than the name box holds: refused with a message, nothing stored.
    for (const QString &tooLong : {Long(11), QStringLiteral("x' or '1'='1"), QStringLiteral("😀😀😀😀😀😀")}) {
        SCOPED_TRACE(tooLong.toStdString());
        const TUserResult r = admin.AddUser(tooLong, QStringLiteral("pass"), QStringLiteral("pass"));
        EXPECT_FALSE(r.Ok);
        EXPECT_FALSE(r.DatabaseError) << "the form says so, not the database";
        EXPECT_EQ(r.Message, QStringLiteral("用户名不能超过10个字符"));
    }
    QList<TUserRow> rows;
    QString error;
    ASSERT_TRUE(admin.List(rows, error));
    EXPECT_EQ(rows.size(), 2);
}

// ---------------------------------------------------------------------------
// Report template names: listed from their files and handed to the module.

namespace {
struct TTemplateProbe : cem::TCemCompTest {
    QString Group, Template;
    bool ExportToTemplate(const QString &groupNo, const QString &templateName) override
    {
        Group = groupNo;
        Template = templateName;
        return true;
    }
};
} // namespace

TEST(BadText, ReportTemplateNamesKeepTheirValue)
{
    QTemporaryDir folder;
    QStringList values = Nasty() + QStringList{Long(60), QStringLiteral("a.b"), QStringLiteral("a&b")};
    for (const QString &v : values) {
        QFile f(folder.filePath(v + QStringLiteral(".xls")));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << v.toStdString();
    }
    QStringList listed = ReportTemplates(folder.path());
    QStringList expected = values;
    listed.sort();
    expected.sort();
    EXPECT_EQ(listed, expected);

    modtest::TDb db;
    TTemplateProbe probe;
    modtest::Load(probe, db.Conn);
    for (const QString &v : values) {
        SCOPED_TRACE(v.toStdString());
        ASSERT_TRUE(probe.PrintReport(PrintRequest(QStringLiteral("G'1"), v)));
        EXPECT_EQ(probe.Group, QStringLiteral("G'1"));
        EXPECT_EQ(probe.Template, v);
    }
}

// ---------------------------------------------------------------------------
// Record search texts: a number search finds exactly the stored numbers that
// contain the text, the characters taken literally.

TEST(BadText, SearchTextsAreTakenLiterally)
{
    TGroupRig rig;
    QStringList stored;
    for (const QString &v : Nasty())
        if (FileNameSafe(v)) {
            rig.Store(v);
            stored << v;
        }
    for (const QString &typed : Nasty() + QStringList{Long(300), QStringLiteral("  a_b  ")}) {
        SCOPED_TRACE(typed.toStdString());
        const QString v = typed.trimmed();
        QStringList expected;
        for (const QString &g : stored)
            if (g.contains(v, Qt::CaseInsensitive))
                expected << g;
        expected.sort();
        EXPECT_EQ(rig.Found(typed), expected);
    }
}
