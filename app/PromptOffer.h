// The prompt's rows published as the offer the hook reads (Offer.h), and the
// entries behind the recent offers, so that the program records the use of
// the entry a key chose even when the prompt changed since.
#pragma once

#include <vector>

#include "AcceptPlan.h"
#include "MatchItem.h"

// What the rows of a request's prompt are planned from besides their
// entries: taken by the main window at each request.
struct OfferRequest {
    CString buffer;          // the hook's text before the caret when the request was made
    HWND target = nullptr;   // the window it was made for
    CString typed;           // the text the entries complete (after the adapters)
    bool hookTypes = true;   // false: the program inserts every entry (the word processor's automation)
    BOOL wordProcessor = FALSE;
    BOOL appendSpace = FALSE;  // "AppendSpaceOnCompletion"
    CString appendStr;         // "AppendStr"
};

void SetOfferRequest(const OfferRequest &request);
const OfferRequest &CurrentOfferRequest();

// The accept input of an entry of the request.
AcceptInput MakeAcceptInput(const CMatchItem &item, const OfferRequest &request, char last, bool keyDriven);

// Publishes rows entries of items from first on, with the selected row; the
// offer's id names them from now on. Returns that id.
LONG PublishOffer(const std::vector<CMatchItem> &items, int first, int rows, int selected);
// Nothing is offered any more.
void WithdrawPromptOffer();
// Whether the hook types row `row` of the current offer itself.
bool HookTypesOfferRow(int row);

// The entry of a row of a recent offer and the request it was made for;
// false when that offer is too old or never had that row.
bool FindOfferedEntry(LONG id, int row, CMatchItem &item, OfferRequest &request);
