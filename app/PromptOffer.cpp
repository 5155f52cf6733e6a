#include "PromptOffer.h"

#include <algorithm>
#include <deque>

#include "EngineSettings.h"
#include "SharedSection.h"

namespace {

OfferRequest g_request;

// An offer as published: the entries behind its rows.
struct Published {
    LONG id;
    std::vector<CMatchItem> rows;
    OfferRequest request;
};
// A key typed before the prompt changed names an offer a few publications
// old at most: the next fill or move of the same request.
const size_t kRemembered = 8;
std::deque<Published> g_published;

}  // namespace

void SetOfferRequest(const OfferRequest &request) { g_request = request; }

const OfferRequest &CurrentOfferRequest() { return g_request; }

AcceptInput MakeAcceptInput(const CMatchItem &item, const OfferRequest &request, char last, bool keyDriven)
{
    AcceptInput in;
    in.itemText = item.m_strText;
    in.itemKey = item.m_strKey;
    in.typed = request.typed;
    in.lastChar = last;
    in.keyDriven = keyDriven;
    in.wordProcessor = request.wordProcessor;
    in.appendSpace = request.appendSpace;
    in.appendStr = request.appendStr;
    in.fullShMatch = g_bFullSHMatch;
    in.autoCompleteUponDelimiter = g_bAutoCompleteUponDelimiter;
    in.compWordKey = CompWordKey;
    return in;
}

LONG PublishOffer(const std::vector<CMatchItem> &items, int first, int rows, int selected)
{
    Published published;
    published.request = g_request;
    const int available = static_cast<int>(items.size()) - first;
    rows = first < 0 ? 0 : std::min(std::min(rows, available), static_cast<int>(OFFER_ROWS));
    if (rows < 0)
        rows = 0;

    SharedOffer &offer = g_Offer;
    BeginOfferWrite(offer);
    offer.target = g_request.target;
    SetSharedString(offer.word, g_request.buffer);
    offer.rows = rows;
    offer.selected = selected >= 0 && selected < rows ? selected : 0;
    for (int r = 0; r < rows; ++r) {
        const CMatchItem &item = items[static_cast<size_t>(first + r)];
        published.rows.push_back(item);
        OfferRow row = MakeOfferRow(PlanAcceptedEntry(MakeAcceptInput(item, g_request, 0, false)));
        if (!g_request.hookTypes)
            row.length = OFFER_PROGRAM_TYPES;
        offer.row[r] = row;
    }
    EndOfferWrite(offer);

    published.id = offer.id;
    g_published.push_back(published);
    while (g_published.size() > kRemembered)
        g_published.pop_front();
    return published.id;
}

void WithdrawPromptOffer() { WithdrawOffer(g_Offer); }

bool HookTypesOfferRow(int row)
{
    return row >= 0 && row < g_Offer.rows && row < OFFER_ROWS && g_Offer.row[row].length != OFFER_PROGRAM_TYPES;
}

bool FindOfferedEntry(LONG id, int row, CMatchItem &item, OfferRequest &request)
{
    for (const Published &published : g_published) {
        if (published.id != id)
            continue;
        if (row < 0 || row >= static_cast<int>(published.rows.size()))
            return false;
        item = published.rows[static_cast<size_t>(row)];
        request = published.request;
        return true;
    }
    return false;
}
