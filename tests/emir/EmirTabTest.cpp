#include "EmirTab.h"
#include "DataGrid.h"
#include "EmirFixture.h"
#include "GridDataSource.h"
#include "TypedEdit.h"

#include <QFile>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {

// The page attached to a run, showing every report (both dates empty).
struct TabFixture : EmirFixture {
    TabFixture() {
        tab.attach(session());
        tab.editReport = [](qint64) -> qint64 {
            ADD_FAILURE() << "no report dialog expected";
            return 0;
        };
        tab.editDispute = [this](qint64 reportId, qint64 disputeId) {
            edited << QString::number(reportId) + '/' + QString::number(disputeId);
            return savedDispute;
        };
        tab.pteEMIRDatOd->clear();
        tab.pteEMIRDatDo->clear();
    }
    // The enabled actions, by caption, in the page's order.
    QString enabled() const {
        QStringList out;
        for (QPushButton *b :
             {tab.actRefresh, tab.actAddRpt, tab.actEditRpt, tab.actDeleteRpt, tab.actCancel,
              tab.actImportXLS, tab.actEMIRXML, tab.actAddPsl, tab.actEditPsl, tab.actDeletePsl})
            if (b->isEnabled())
                out << b->objectName();
        return out.join(' ');
    }
    // A cell of a list as shown.
    static QString shown(DataGrid *grid, int row, const QString &field) {
        GridDataSource *source = grid->dataSource();
        return source->displayText(row, int(source->columnFields().indexOf(field)));
    }

    EmirTab tab;
    QStringList edited;
    qint64 savedDispute = 0;
};

TEST(EmirTab, TheDisputesFollowTheCurrentReportAndACancelledReportIsFrozen) {
    TabFixture f;
    const qint64 a = f.report({.zapSt = 1,
                               .from = QDate(2014, 2, 1),
                               .cancelled = true,
                               .cancelledAt = QDateTime(QDate(2014, 3, 5), QTime(10, 15))});
    const qint64 b = f.report({.zapSt = 2, .from = QDate(2014, 3, 1), .cancels = a});
    f.dispute(a, "A", "Kapital", QDate(2014, 2, 3), {}, 1234.5);
    f.tab.actRefreshExecute();

    EXPECT_EQ(f.tab.currentReportId(), a);
    EXPECT_EQ(f.tab.disputes()->recordCount(), 1);
    EXPECT_EQ(TabFixture::shown(f.tab.dbgEMIRPorocila, 0, "PreklicanoDaNe"), "Da");
    EXPECT_EQ(TabFixture::shown(f.tab.dbgEMIRPorocila, 0, "DanCasPreklica"), "05.03.2014 10:15:00");
    EXPECT_EQ(TabFixture::shown(f.tab.dbgEMIRPsl, 0, "Vrednost"), "1.234,50");
    EXPECT_EQ(f.enabled(), "actRefresh actAddRpt actEMIRXML");

    f.tab.dbgEMIRPorocila->setCurrentRow(1);
    EXPECT_EQ(f.tab.currentReportId(), b);
    EXPECT_EQ(TabFixture::shown(f.tab.dbgEMIRPorocila, 1, "ZapStPreklicano"), "1");
    EXPECT_EQ(TabFixture::shown(f.tab.dbgEMIRPorocila, 1, "PreklicanoDaNe"), "Ne");
    EXPECT_EQ(f.tab.disputes()->recordCount(), 0);
    EXPECT_EQ(f.enabled(), "actRefresh actAddRpt actEditRpt actDeleteRpt actCancel actImportXLS actEMIRXML "
                           "actAddPsl");

    // Adding a dispute selects it; the report stays selected across reloads.
    f.savedDispute = f.dispute(b, "B", "Sava", QDate(2014, 3, 2));
    f.tab.actAddPslExecute();
    EXPECT_EQ(f.edited, QStringList{QString::number(b) + "/0"});
    EXPECT_EQ(f.tab.currentDisputeId(), f.savedDispute);
    EXPECT_EQ(f.enabled(), "actRefresh actAddRpt actEditRpt actDeleteRpt actCancel actImportXLS actEMIRXML "
                           "actAddPsl actEditPsl actDeletePsl");
    f.tab.actRefreshExecute();
    EXPECT_EQ(f.tab.currentReportId(), b);
    EXPECT_EQ(f.tab.currentDisputeId(), f.savedDispute);

    // A date changed: both lists are empty until refreshed.
    f.tab.pteEMIRDatOd->setDate(QDate(2014, 3, 1));
    EXPECT_FALSE(f.tab.reports()->active());
    EXPECT_FALSE(f.tab.disputes()->active());
    EXPECT_EQ(f.enabled(), "actRefresh actAddRpt");
    f.tab.actRefreshExecute();
    EXPECT_EQ(f.tab.reports()->recordCount(), 1) << "the period start limits the list";
}

TEST(EmirTab, CancellingSelectsTheCancellationReport) {
    TabFixture f;
    const qint64 a = f.report({.zapSt = 1, .from = QDate(2014, 2, 1)});
    f.report({.zapSt = 2, .from = QDate(2014, 3, 1)});
    f.tab.actRefreshExecute();
    ASSERT_EQ(f.tab.currentReportId(), a);
    f.prompter.answers = {true};
    f.tab.actCancelExecute();
    EXPECT_EQ(f.tab.currentReport()->zapSt, 3);
    EXPECT_EQ(f.tab.currentReport()->cancelsId, a);
    EXPECT_EQ(f.tab.reports()->recordCount(), 3);
    EXPECT_EQ(f.enabled(), "actRefresh actAddRpt actEditRpt actDeleteRpt actCancel actImportXLS actEMIRXML "
                           "actAddPsl");
}

TEST(EmirTab, WritingTheFileShowsItsStampOnTheReportThatStaysSelected) {
    TabFixture f;
    ASSERT_TRUE(QFile::copy(RAPO_EMIR_SCHEMA, f.t.dir.file("EMIR.xsd")));
    f.report({.zapSt = 1, .from = QDate(2014, 2, 1)});
    const qint64 march = f.report({.zapSt = 2, .from = QDate(2014, 3, 1)});
    f.tab.actRefreshExecute();
    f.tab.dbgEMIRPorocila->setCurrentRow(1);
    f.prompter.answers = {true};
    f.tab.actEMIRXMLExecute();
    EXPECT_EQ(f.prompter.texts.size(), 1) << "the dates of the tab are missing";
    EXPECT_EQ(f.prompter.texts.last(), "Neveljaven začetni datum.");

    f.tab.pteEMIRDatOd->setDate(QDate(2014, 1, 1));
    f.tab.pteEMIRDatDo->setDate(QDate(2014, 12, 31));
    f.tab.actRefreshExecute();
    f.tab.dbgEMIRPorocila->setCurrentRow(1);
    f.prompter.answers = {true};
    f.tab.actEMIRXMLExecute();
    EXPECT_TRUE(f.prompter.texts.last().startsWith("Generiranje XML datoteke je končano."));
    EXPECT_EQ(f.tab.currentReportId(), march);
    EXPECT_EQ(TabFixture::shown(f.tab.dbgEMIRPorocila, 1, "DanCasKreiranja"),
              "02.04.2014 09:00:00");
}

} // namespace
