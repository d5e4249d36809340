#include "ReportsTestSupport.h"
#include "reports/CQ770View.h"
#include "reports/ParamPrinter.h"
#include "reports/PrintCommands.h"
#include "reports/ReportDialogs.h"
#include "resources/StringIds.h"

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <algorithm>

using namespace kvd;
using kvdtest::q;

namespace {

const QSize kA4(2100, 2970);
const QDateTime kWhen(QDate(2024, 3, 7), QTime(9, 5, 3));

TEST(PrintPages, FirstPageHoldsThirtyRowsFurtherPagesThirtyFive) {
    struct Case {
        int rows;
        int pages;
    };
    const Case cases[] = {{0, 1}, {1, 1}, {29, 1}, {30, 1}, {31, 2}, {65, 2}, {66, 3}, {100, 3}};
    for (const Case& c : cases)
        EXPECT_EQ(ParamPrinter::pageCountFor(c.rows), c.pages) << c.rows;
    EXPECT_EQ(ParamPrinter::firstRowOfPage(1), 0);
    EXPECT_EQ(ParamPrinter::firstRowOfPage(2), 30);
    EXPECT_EQ(ParamPrinter::firstRowOfPage(3), 65);
    EXPECT_EQ(ParamPrinter::rowsOfPage(1), 30);
    EXPECT_EQ(ParamPrinter::rowsOfPage(3), 35);
}

TEST(PrintTitle, TitleAndNameAreLimitedToTwentyBytes) {
    const QString twenty(20, u'x');
    const QString tenChinese(10, QChar(0x53C2)); // two bytes each
    struct Case {
        PrintTexts texts;
        int message;
    };
    const Case cases[] = {
        {{twenty, QString(), twenty}, 0},
        {{twenty + u'x', QString(), QString()}, ids::PrintTitleTooLong},
        {{QString(), QString(), twenty + u'x'}, ids::PrintTitleTooLong},
        {{QString(), QString(40, u'd'), QString()}, 0}, // the department is not limited
        {{tenChinese, QString(), tenChinese}, 0},
        {{tenChinese + u'x', QString(), QString()}, ids::PrintTitleTooLong},
        {{QString(), QString(), tenChinese + QChar(0x53C2)}, ids::PrintTitleTooLong},
    };
    for (const Case& c : cases)
        EXPECT_EQ(checkPrintTexts(c.texts), c.message)
            << c.texts.title.toStdString() << "/" << c.texts.name.toStdString();
}

class PrintTest : public kvdtest::ReportsTest {
protected:
    ParamPrinter printer(const PrintTexts& texts = PrintTexts::initial()) {
        return ParamPrinter(*doc, texts, kWhen);
    }

    // The texts laid out on a page, in order.
    static QStringList textsOf(const std::vector<PrintItem>& items) {
        QStringList texts;
        for (const PrintItem& item : items)
            if (item.kind == PrintItem::Text)
                texts << item.text;
        return texts;
    }
    static std::optional<PrintItem> find(const std::vector<PrintItem>& items, const QString& text) {
        for (const PrintItem& item : items)
            if (item.kind == PrintItem::Text && item.text == text)
                return item;
        return std::nullopt;
    }
    static PrintItem text(PrintFont font, int x, int y, const QString& s) {
        return {PrintItem::Text, font, QPoint(x, y), QPoint(x, y), s, 0};
    }
    static PrintItem line(int y, int w) {
        return {PrintItem::Line, PrintFont::Body, QPoint(0, y), QPoint(w, y), QString(), 0};
    }
    // The item at its place, whatever width it may take.
    static bool contains(const std::vector<PrintItem>& items, const PrintItem& wanted) {
        return std::any_of(items.begin(), items.end(), [&](const PrintItem& item) {
            return item.kind == wanted.kind && item.font == wanted.font &&
                   item.from == wanted.from && item.to == wanted.to && item.text == wanted.text;
        });
    }

    // The number of pages of a PDF file: its page objects.
    static int pdfPages(const QString& path) {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly))
            return -1;
        const QString bytes = QString::fromLatin1(f.readAll());
        return static_cast<int>(
            bytes.count(QRegularExpression(QStringLiteral("/Type\\s*/Page\\b"))));
    }
    int printToPdf(const ParamPrinter& pages, int from = 1, int to = 0) {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("list.pdf"));
        QPrinter pdf(QPrinter::HighResolution);
        pdf.setOutputFormat(QPrinter::PdfFormat);
        pdf.setOutputFileName(path);
        pdf.setPageSize(QPageSize(QPageSize::A4));
        if (!pages.print(pdf, from, to))
            return -1;
        return pdfPages(path);
    }
};

TEST_F(PrintTest, EveryGroupIsPrintedWhateverTheListShows) {
    state.fullParameterSet = false;
    state.groupSelection = 14;
    CQ770View view(*doc, state, host, prompter);
    view.initialUpdate();
    ASSERT_EQ(view.listModel().rowCount(), itemCount(14) + 1);

    const ParamPrinter pages = printer(view.printTexts());
    const int rows = rowsOf(allGroups());
    EXPECT_EQ(pages.rowCount(), rows);
    EXPECT_EQ(pages.pageCount(), 1 + (rows - 30 + 34) / 35);

    QStringList all;
    for (int p = 1; p <= pages.pageCount(); ++p)
        all << textsOf(pages.layoutPage(p, kA4));
    for (const ParamGroup& g : groups())
        EXPECT_TRUE(all.contains(u'[' + q(g.name) + u']')) << g.name;
    EXPECT_TRUE(all.contains(q(groups()[14].items.back().label)));
}

// Rows by their row number in the document (see shapeDocument): "G<g>" groups, "P<row>" items.
TEST_F(PrintTest, HundredRowsPrintOnThreePagesSplitAtRowsThirtyAndSixtyFive) {
    shapeDocument({24, 24, 24, 24}); // 4 x 25 rows
    const ParamPrinter pages = printer();
    ASSERT_EQ(pages.rowCount(), 100);
    ASSERT_EQ(pages.pageCount(), 3);
    EXPECT_TRUE(pages.layoutPage(4, kA4).empty());

    const auto page1 = pages.layoutPage(1, kA4);
    const auto page2 = pages.layoutPage(2, kA4);
    const auto page3 = pages.layoutPage(3, kA4);
    // Row 29 ends page 1; row 30 opens page 2 at the top of the rows; 64 ends it; 65 opens 3.
    const int pitch1 = (2970 - 50) / 40;
    const int pitch2 = (2970 - 50) / 42;
    EXPECT_TRUE(contains(page1, text(PrintFont::Body, 100, 550 + 29 * pitch1, "P29")));
    EXPECT_FALSE(find(page1, "P31"));
    EXPECT_TRUE(contains(page2, text(PrintFont::Body, 100, 300, "P30")));
    EXPECT_TRUE(contains(page2, text(PrintFont::Body, 100, 300 + 34 * pitch2, "P64")));
    EXPECT_FALSE(find(page2, "P65"));
    EXPECT_TRUE(contains(page3, text(PrintFont::Body, 100, 300, "P65")));
    EXPECT_TRUE(contains(page3, text(PrintFont::Body, 100, 300 + 34 * pitch2, "P99")));
    // Group rows: "G2" is row 50.
    EXPECT_TRUE(contains(page2, text(PrintFont::Body, 50, 300 + 20 * pitch2, "[G2]")));
}

TEST_F(PrintTest, ThirtyRowsFitPageOneThirtyOneNeedPageTwo) {
    const std::pair<std::vector<int>, int> cases[] = {
        {{28}, 1}, {{29}, 1}, {{14, 14}, 1}, {{15, 14}, 2}};
    for (const auto& [counts, pagesExpected] : cases) {
        shapeDocument(counts);
        const ParamPrinter pages = printer();
        EXPECT_EQ(pages.pageCount(), pagesExpected) << pages.rowCount();
        EXPECT_EQ(printToPdf(pages), pagesExpected) << pages.rowCount();
    }
}

TEST_F(PrintTest, FirstPageCarriesHeaderHeadingsRowsAndFooter) {
    const PrintTexts texts{QStringLiteral("Pump 3"), QStringLiteral("Service"),
                           QStringLiteral("Li")};
    const ParamPrinter pages = printer(texts);
    const auto page = pages.layoutPage(1, kA4);
    const int w = 2100;
    const int pitch = (2970 - 50) / 40;
    const ParamItem& first = groups()[0].items[0];

    const PrintItem expected[] = {
        line(200, w),
        text(PrintFont::Title, (w - 20 * 6) / 2, 120, QStringLiteral("Pump 3")),
        text(PrintFont::Heading, 50, 280, QStringLiteral("Department:Service")),
        text(PrintFont::Heading, w / 5 * 3, 280, QStringLiteral("Name:Li")),
        line(400 + pitch, w),
        text(PrintFont::Heading, 50, pitch + 330, QStringLiteral("Parameter Description")),
        text(PrintFont::Heading, w / 10 * 6 + 25, pitch + 330, QStringLiteral("Factory Setting")),
        text(PrintFont::Heading, w / 20 * 16, pitch + 330, QStringLiteral("Current Value")),
        text(PrintFont::Body, 50, 550, u'[' + q(groups()[0].name) + u']'),
        text(PrintFont::Body, 100, 550 + pitch, q(first.label)),
        text(PrintFont::Body, w / 10 * 7, 550 + pitch, q(first.factoryValue)),
        text(PrintFont::Body, w / 20 * 17 + 20, 550 + pitch, q(first.editValue)),
    };
    for (const PrintItem& item : expected)
        EXPECT_TRUE(contains(page, item))
            << item.text.toStdString() << " at " << item.from.x() << "," << item.from.y();

    // Each column of a parameter row ends before the next begins.
    const auto label = find(page, q(first.label));
    const auto factory = find(page, q(first.factoryValue));
    ASSERT_TRUE(label && factory);
    EXPECT_EQ(label->width, w / 10 * 7 - 20 - 100);
    EXPECT_EQ(factory->width, (w / 20 * 17 + 20) - 20 - w / 10 * 7);
    EXPECT_EQ(find(page, u'[' + q(groups()[0].name) + u']')->width, 0);

    const auto date = find(page, QStringLiteral("Date:2024-03-07"));
    const auto time = find(page, QStringLiteral("Time:09:05:03"));
    const auto number = find(page, QStringLiteral("Page:1"));
    ASSERT_TRUE(date && time && number);
    // The footer sits below the last row of the page.
    const int lastRowBottom = 550 + 29 * pitch + 30;
    EXPECT_GT(date->from.y(), lastRowBottom);
    EXPECT_LT(date->from.y() + 30, 2970);
    EXPECT_EQ(time->from.y(), date->from.y());

    // Later pages: no title, department or name; headings higher up; their own number.
    const auto page2 = pages.layoutPage(2, kA4);
    const int pitch2 = (2970 - 50) / 42;
    EXPECT_FALSE(find(page2, QStringLiteral("Pump 3")));
    EXPECT_FALSE(find(page2, QStringLiteral("Name:Li")));
    EXPECT_TRUE(contains(page2, line(150 + pitch2, w)));
    EXPECT_TRUE(contains(
        page2, text(PrintFont::Heading, 50, pitch2 + 80, QStringLiteral("Parameter Description"))));
    EXPECT_TRUE(find(page2, QStringLiteral("Page:2")));
    const auto date2 = find(page2, QStringLiteral("Date:2024-03-07"));
    ASSERT_TRUE(date2);
    EXPECT_GT(date2->from.y(), 300 + 34 * pitch2 + 30);
}

TEST_F(PrintTest, ListValuesArePrintedAsTheyWereWhenPrintingBegan) {
    shapeDocument({3});
    const ParamPrinter pages = printer();
    groups()[0].items[0].editValue = "changed later";
    EXPECT_TRUE(find(pages.layoutPage(1, kA4), QStringLiteral("e1")));
}

TEST_F(PrintTest, DefaultTitleIsCentredByItsLength) {
    const ParamPrinter pages = printer();
    EXPECT_EQ(pages.texts().title, QStringLiteral("Parameter Setting List"));
    const auto title = find(pages.layoutPage(1, kA4), QStringLiteral("Parameter Setting List"));
    ASSERT_TRUE(title);
    EXPECT_EQ(title->font, PrintFont::Title);
    EXPECT_EQ(title->from, QPoint((2100 - 20 * 22) / 2, 120));
}

TEST_F(PrintTest, DocumentWithoutGroupsPrintsOnePageWithTheHeader) {
    groups().clear();
    const ParamPrinter pages = printer();
    EXPECT_EQ(pages.rowCount(), 0);
    EXPECT_EQ(pages.pageCount(), 1);
    EXPECT_TRUE(find(pages.layoutPage(1, kA4), QStringLiteral("Parameter Setting List")));
    EXPECT_EQ(printToPdf(pages), 1);
}

TEST_F(PrintTest, PdfHoldsOnePagePerPrintedPage) {
    const ParamPrinter pages = printer();
    ASSERT_GT(pages.pageCount(), 2);
    EXPECT_EQ(printToPdf(pages), pages.pageCount());
    EXPECT_EQ(printToPdf(pages, 2, 3), 2); // a page range from the print dialog
    EXPECT_EQ(printToPdf(pages, 2, 99), pages.pageCount() - 1);
}

TEST_F(PrintTest, PageIsPaintedInTenthsOfAMillimetreFromTheTop) {
    // One pixel per millimetre: the layout's 0.1 mm units land ten to a pixel.
    QImage image(210, 297, QImage::Format_RGB32);
    image.setDotsPerMeterX(1000);
    image.setDotsPerMeterY(1000);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        printer().paintPage(painter, 1, kA4);
    }
    const auto inkInRow = [&](int y, int x0, int x1) {
        int ink = 0;
        for (int x = x0; x < x1; ++x)
            ink += qGray(image.pixel(x, y)) < 224;
        return ink;
    };
    const auto inkInBand = [&](int y0, int y1, int x0, int x1) {
        int ink = 0;
        for (int y = y0; y < y1; ++y)
            ink += inkInRow(y, x0, x1);
        return ink;
    };
    // The rule under the header (0.3 mm wide at 20 mm) spans the page.
    EXPECT_GT(inkInBand(19, 21, 0, 210), 200);
    EXPECT_GT(inkInBand(12, 18, 60, 150), 0); // the title, centred
    EXPECT_EQ(inkInBand(12, 18, 0, 50), 0);
    EXPECT_GT(inkInBand(54, 58, 5, 60), 0); // the first group row
    EXPECT_EQ(inkInBand(0, 11, 0, 210), 0); // nothing above the title
}

TEST_F(PrintTest, TitleDialogKeepsTooLongTextsAndStoresFittingOnes) {
    PrintTitleDialog dialog(PrintTexts::initial(), prompter);
    EXPECT_EQ(dialog.texts().title, QStringLiteral("Parameter Setting List"));

    dialog.setTexts({QString(21, u't'), QStringLiteral("Dept"), QStringLiteral("Wang")});
    dialog.show();
    dialog.accept();
    EXPECT_EQ(prompter.messageIds(), std::vector<int>{ids::PrintTitleTooLong});
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_NE(dialog.result(), QDialog::Accepted);

    dialog.setTexts({QString(20, u't'), QStringLiteral("Dept"), QStringLiteral("Wang")});
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(dialog.texts().name, QStringLiteral("Wang"));
}

TEST_F(PrintTest, WithoutAPrinterPreviewAndDirectPrintShow61529) {
    const auto noPrinter = [] { return false; };
    EXPECT_FALSE(previewProject(nullptr, *doc, PrintTexts::initial(), prompter, noPrinter));
    EXPECT_FALSE(printProject(nullptr, *doc, PrintTexts::initial(), prompter, false, noPrinter));
    EXPECT_EQ(prompter.messageIds(), (std::vector<int>{ids::InstallPrinter, ids::InstallPrinter}));
}

} // namespace
