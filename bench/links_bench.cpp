// Times the marking of a cartridge health report's field names as links in the report view:
// from the moment the whole text is in the view to the links being ready and the document laid
// out again. Without an argument it marks a text of the demonstration library's shape (1,600
// cartridges, a line for each of their 11 fields); with one it marks that file's text, such as a
// year's report saved from `vaultlinectl report cartridge-health`.
//
//   QT_QPA_PLATFORM=offscreen links_bench [report.txt]

#include "HealthTextFixture.h"
#include "reports/HealthReportLinks.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QTextEdit>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sys/resource.h>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    std::string text;
    if (argc > 1) {
        std::ifstream file(argv[1], std::ios::binary);
        if (!file) {
            std::fprintf(stderr, "links_bench: cannot read %s\n", argv[1]);
            return 1;
        }
        text.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    } else {
        text = cartridgeHealthFixture(1600);
    }
    QTextEdit view;
    view.setReadOnly(true);
    view.setUndoRedoEnabled(false);
    view.setLineWrapMode(QTextEdit::NoWrap);
    view.resize(1000, 700);
    view.show();
    view.setPlainText(QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())));
    view.document()->documentLayout()->documentSize();
    QApplication::processEvents();

    const auto start = std::chrono::steady_clock::now();
    MarkFieldLinks(&view, HealthReportKind::Cartridge);
    const double marking = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    view.document()->documentLayout()->documentSize();
    view.repaint();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("text: %zu bytes, %d lines\n", text.size(), view.document()->blockCount());
    std::printf("links marked: %.2f s, and laid out: %.2f s (limit 2 s)\n", marking, seconds);
    std::printf("peak memory: %.1f MB\n", static_cast<double>(usage.ru_maxrss) / 1024.0);
    return seconds <= 2.0 ? 0 : 1;
}
