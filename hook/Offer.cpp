#include "Offer.h"

#include <cstring>

#include "CharClasses.h"
#include "TextHelpers.h"

CString AcceptTail(const AcceptTailRule &rule, char last, bool keyDriven)
{
    CString tail;
    const unsigned char c = static_cast<unsigned char>(last);
    const bool delimiter = c != 0 && IsDelimiterChar(c);
    if (rule.shorthand) {
        if (rule.delimiterCompletes && IsClosingPunct(c)) {
            // Punctuation spacing needs a text to follow.
            if (rule.lastOfText == 0)
                return tail;
            tail += last;
            for (int n = PunctuationSpaces(rule.lastOfText, last, rule.spaceAfterPunct != 0, rule.doubleSpace != 0);
                 n > 0; --n)
                tail += ' ';
        } else if (rule.delimiterCompletes && delimiter && !keyDriven) {
            tail += last;
        } else if (rule.appendSpace) {
            tail += ' ';
        }
        return tail;
    }
    if (rule.delimiterCompletes && delimiter && !keyDriven)
        tail += last;
    // The space that chose an entry the user had typed whole is still typed.
    const bool addSpace = (keyDriven && (rule.appendSpace || rule.wholeWord)) ||
                          (rule.spaceAfterPunct && IsClosingPunct(c));
    if (addSpace) {
        const bool sentenceEnd = c == '!' || c == '?' || c == '.';
        tail += (rule.doubleSpace && rule.spaceAfterPunct && sentenceEnd) ? "  " : " ";
    }
    char appendStr[OFFER_APPEND_STR];
    std::memcpy(appendStr, rule.appendStr, sizeof appendStr);
    appendStr[sizeof appendStr - 1] = 0;
    tail += appendStr;
    return tail;
}

int CountReplaceableSpaces(const CString &text)
{
    const int length = text.GetLength();
    if (length >= 2 && text[length - 1] == ' ' && text[length - 2] == ' ')
        return 2;
    if (length >= 1 && text[length - 1] == ' ')
        return 1;
    return 0;
}

void BeginOfferWrite(SharedOffer &offer)
{
    __atomic_add_fetch(&offer.seq, 1, __ATOMIC_ACQ_REL);
    __atomic_thread_fence(__ATOMIC_RELEASE);
}

void EndOfferWrite(SharedOffer &offer)
{
    ++offer.id;
    __atomic_thread_fence(__ATOMIC_RELEASE);
    __atomic_add_fetch(&offer.seq, 1, __ATOMIC_ACQ_REL);
}

void WithdrawOffer(SharedOffer &offer)
{
    if (offer.rows == 0 && offer.target == nullptr)
        return;
    BeginOfferWrite(offer);
    offer.rows = 0;
    offer.target = nullptr;
    offer.word[0] = 0;
    EndOfferWrite(offer);
}

bool ReadOfferRow(const SharedOffer &offer, int row, OfferChoice &out)
{
    // The program writes rarely and briefly: a few tries, never a wait.
    for (int attempt = 0; attempt < 8; ++attempt) {
        const LONG before = __atomic_load_n(&offer.seq, __ATOMIC_ACQUIRE);
        if (before & 1)
            continue;
        const int rows = offer.rows;
        int chosen = row < 0 ? offer.selected : row;
        if (rows == 1)
            chosen = 0;
        if (rows <= 0 || rows > OFFER_ROWS || chosen < 0 || chosen >= rows)
            return false;
        out.id = offer.id;
        out.row = chosen;
        out.target = offer.target;
        std::memcpy(out.word, offer.word, sizeof out.word);
        std::memcpy(&out.entry, &offer.row[chosen], sizeof out.entry);
        __atomic_thread_fence(__ATOMIC_ACQUIRE);
        if (__atomic_load_n(&offer.seq, __ATOMIC_ACQUIRE) != before)
            continue;
        out.word[sizeof out.word - 1] = 0;
        out.entry.body[sizeof out.entry.body - 1] = 0;
        if (out.entry.erase < 0 || out.entry.erase > 258 ||
            (out.entry.length != OFFER_PROGRAM_TYPES && (out.entry.length < 0 || out.entry.length >= OFFER_BODY)))
            return false;
        return true;
    }
    return false;
}
