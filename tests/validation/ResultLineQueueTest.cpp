#include "validation/ResultLineQueue.h"
#include "tests/validation/PrintQString.h"

#include <gtest/gtest.h>

namespace {

TEST(ResultLineQueue, HandsOverLinesWithTheirLocationsInOneText) {
    ResultLineQueue queue;
    queue.append(u"Conectado com o banco de dados."_qs);
    queue.markLocation(7);
    queue.append(u"Linha 7: insert into t"_qs);
    queue.append(u"Dynamic SQL Error\r\nSQL error code = -104\rline two"_qs); // one line per break
    queue.markLocation(12);
    queue.append(u"Linha 12: x"_qs);

    const ResultLineQueue::Batch first = queue.take();
    EXPECT_EQ(
        first.text,
        u"Conectado com o banco de dados.\nLinha 7: insert into t\nDynamic SQL Error\nSQL error code = -104\n"
        "line two\nLinha 12: x"_qs);
    EXPECT_EQ(first.lineCount, 6);
    EXPECT_EQ(first.locations, (std::vector<std::pair<int, int>>{{1, 7}, {5, 12}}));

    // The next batch counts its lines from its own start.
    EXPECT_EQ(queue.take().lineCount, 0);
    queue.append(u"a"_qs + QChar(QChar::ParagraphSeparator) + u"b"_qs);
    queue.markLocation(3);
    queue.append(u"Linha 3: y"_qs);
    const ResultLineQueue::Batch second = queue.take();
    EXPECT_EQ(second.text, u"a\nb\nLinha 3: y"_qs);
    EXPECT_EQ(second.locations, (std::vector<std::pair<int, int>>{{2, 3}}));
}

} // namespace
