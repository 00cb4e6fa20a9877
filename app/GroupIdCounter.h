#pragma once

namespace talivo {

// Hands out group ids. The program keeps one counter for its whole run: it starts at 1000, is
// never reset, and stays past every id a row brings along, so new ids never repeat old ones.
class TGroupIdCounter {
public:
    // The id for a new row: the given id when it is above 0, else the counter's next one. The
    // counter then moves past both.
    int Take(int id);
    int Next() const { return fNext; }

    static TGroupIdCounter &Program();

private:
    int fNext = 1000;
};

} // namespace talivo
