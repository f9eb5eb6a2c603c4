#include "solver/board_states.h"

#include <algorithm>
#include <bit>
#include <numeric>

namespace qv {

namespace {

bool keepsHands(const SuitPermutation& perm, const std::array<HandList, 2>& hands) {
    for (const HandList& list : hands)
        for (int h = 0; h < list.count; ++h) {
            int image = list.indexOfSlot[handSlotOf(relabelCard(list.lowCard[h], perm), relabelCard(list.highCard[h], perm))];
            if (image < 0 || list.weight[image] != list.weight[h]) return false;
        }
    return true;
}

bool keepsDeck(const SuitPermutation& perm, const std::vector<double>& deck) {
    if (deck.empty()) return true;
    for (Card c = 0; c < kCardCount; ++c)
        if (deck[relabelCard(c, perm)] != deck[c]) return false;
    return true;
}

// Showdown strength of the hands of both lists on a full board; hands it blocks get none.
HandStrength strengthOn(CardMask board, const std::array<HandList, 2>& hands, const ShowdownRanker& ranker) {
    return [board, &hands, &ranker](int player, int hand) -> uint32_t {
        const HandList& list = hands[player];
        if (list.mask[hand] & board) return 0xFFFFFFFFu;
        return ranker(board, list.lowCard[hand], list.highCard[hand]);
    };
}

}  // namespace

BoardStates::BoardStates(CardMask firstBoard, const std::array<HandList, 2>& hands, const DealRules& rules,
                         const ShowdownRanker& ranker) {
    riverLevel_ = 5 - std::popcount(firstBoard);
    // A symmetry must keep the ranges too: only then do equivalent cards have equal values.
    for (const SuitPermutation& perm : boardSymmetries(firstBoard)) {
        bool identity = perm == kIdentitySuits;
        if (identity || (rules.isomorphism && keepsHands(perm, hands) && keepsDeck(perm, rules.deckWeights)))
            symmetries_.push_back(perm);
    }
    for (int p = 0; p < 2; ++p) {
        const HandList& list = hands[p];
        for (const auto& perm : symmetries_) {
            std::vector<uint16_t> image(size_t(list.count));
            for (int h = 0; h < list.count; ++h)
                image[h] = uint16_t(list.indexOfSlot[handSlotOf(relabelCard(list.lowCard[h], perm),
                                                                relabelCard(list.highCard[h], perm))]);
            permutations_[p].push_back(std::move(image));
        }
        for (int h = 0; h < list.count; ++h) {
            handsWithCard_[p][list.lowCard[h]].push_back(uint16_t(h));
            handsWithCard_[p][list.highCard[h]].push_back(uint16_t(h));
        }
    }

    DealtBoard root;
    root.cards = firstBoard;
    levels_[0].push_back(root);
    for (int level = 0; level < riverLevel_; ++level)
        for (size_t i = 0; i < levels_[level].size(); ++i) addChildren(level, int(i), hands, rules);

    if (compactAt(riverLevel_))
        numberRiverHands(hands, ranker);
    else
        rankFirstBoard(hands, ranker);
    buildLayouts(hands);
}

void BoardStates::rankFirstBoard(const std::array<HandList, 2>& hands, const ShowdownRanker& ranker) {
    DealtBoard& s = levels_[riverLevel_][0];
    s.showdown = 0;
    tables_.resize(1);
    tables_[0] = buildShowdownTable({hands[0].view(), hands[1].view()}, strengthOn(s.cards, hands, ranker));
}

void BoardStates::numberRiverHands(const std::array<HandList, 2>& hands, const ShowdownRanker& ranker) {
    std::vector<DealtBoard>& rivers = levels_[riverLevel_];
    riverHands_.resize(rivers.size());
    tables_.resize(rivers.size());
    for (int p = 0; p < 2; ++p) {
        uint32_t total = 0;
        for (size_t i = 0; i < rivers.size(); ++i) {
            int count = 0;
            for (int h = 0; h < hands[p].count; ++h) count += !(hands[p].mask[h] & rivers[i].cards);
            riverHands_[i][p] = {total, count};
            total += uint32_t(count);
        }
        listIndex_[p].resize(total);
        lowCard_[p].resize(total);
        highCard_[p].resize(total);
        sameInOther_[p].resize(total);
    }
    // Boards are independent and the ranking only reads: they are numbered in parallel.
    const long count = long(rivers.size());
#pragma omp parallel
    {
        std::array<std::vector<uint64_t>, 2> keys;
        std::array<std::vector<int16_t>, 2> numberOf = {std::vector<int16_t>(size_t(hands[0].count)),
                                                        std::vector<int16_t>(size_t(hands[1].count))};
#pragma omp for schedule(dynamic, 16)
        for (long i = 0; i < count; ++i) {
            DealtBoard& s = rivers[size_t(i)];
            const HandStrength strength = strengthOn(s.cards, hands, ranker);
            std::array<OrderedHands, 2> out;
            for (int p = 0; p < 2; ++p) {
                rankKeys(hands[p].count, p, strength, keys[p]);
                const uint32_t start = riverHands_[size_t(i)][p].start;
                out[p] = {listIndex_[p].data() + start, lowCard_[p].data() + start, highCard_[p].data() + start,
                          sameInOther_[p].data() + start};
            }
            writeStrengthOrder({hands[0].view(), hands[1].view()}, keys, out, numberOf);
            cutGroups(keys, tables_[size_t(i)]);
            s.showdown = int(i);
        }
    }
}

HandView BoardStates::riverHands(int state, int player) const {
    const CompactHands& c = riverHands_[state][player];
    return {c.count, paddedLength(c.count), lowCard_[player].data() + c.start, highCard_[player].data() + c.start,
            sameInOther_[player].data() + c.start, nullptr};
}

void BoardStates::buildLayouts(const std::array<HandList, 2>& hands) {
    for (int p = 0; p < 2; ++p)
        for (int level = 0; level <= riverLevel_; ++level) {
            const int boards = int(levels_[level].size());
            if (!compactAt(level)) {
                layouts_[p][level] = BoardLayout::uniform(hands[p].count, boards);
                continue;
            }
            auto layout = std::make_shared<BoardLayout>();
            for (int b = 0; b < boards; ++b) layout->append(riverHands_[b][p].count, levels_[level][b].parent);
            layouts_[p][level] = layout;
        }
}

void BoardStates::addChildren(int level, int index, const std::array<HandList, 2>& hands, const DealRules& rules) {
    (void)hands;
    const CardMask cards = levels_[level][index].cards;
    std::vector<int> keeping;
    for (size_t k = 0; k < symmetries_.size(); ++k)
        if (relabelMask(cards, symmetries_[k]) == cards) keeping.push_back(int(k));

    std::vector<Card> dealable;
    double deckTotal = 0;
    for (Card c = 0; c < kCardCount; ++c) {
        if ((cards & cardBit(c)) || rankOf(c) < rules.lowCard) continue;
        dealable.push_back(c);
        if (!rules.deckWeights.empty()) deckTotal += rules.deckWeights[c];
    }
    // Of the 52 - 4L cards, the board and the four hole cards are out.
    const int unseen = (std::popcount(cards) == 3 ? 45 : 44) - 4 * rules.lowCard;
    const double base = 1.0 / unseen;

    const int firstRepresentative = int(representatives_.size());
    const int firstDeal = int(deals_.size());
    std::array<int, kCardCount> representativeIndex;
    representativeIndex.fill(-1);
    for (Card c : dealable) {
        double weight = base;
        if (!rules.deckWeights.empty()) {
            if (!(rules.deckWeights[c] > 0)) continue;
            weight *= rules.deckWeights[c] * double(dealable.size()) / deckTotal;
        }
        Card smallest = c;
        int mapping = 0;  // symmetry that maps the representative to c
        for (int k : keeping) {
            Card image = relabelCard(c, symmetries_[k]);
            if (image < smallest) smallest = image;
        }
        for (int k : keeping)
            if (relabelCard(smallest, symmetries_[k]) == c) {
                mapping = k;
                break;
            }
        if (smallest == c) {
            DealtBoard child;
            child.cards = cards | cardBit(c);
            child.level = level + 1;
            child.parent = index;
            child.dealt = c;
            representativeIndex[c] = int(representatives_.size()) - firstRepresentative;
            representatives_.push_back(int(levels_[level + 1].size()));
            levels_[level + 1].push_back(child);
        }
        int gather = -1;
        if (smallest != c) {
            SuitPermutation inverse{};
            for (int s = 0; s < 4; ++s) inverse[symmetries_[mapping][s]] = s;
            gather = int(std::find(symmetries_.begin(), symmetries_.end(), inverse) - symmetries_.begin());
        }
        deals_.push_back({uint8_t(c), uint8_t(representativeIndex[smallest]), int8_t(gather), float(weight)});
    }
    DealtBoard& s = levels_[level][index];
    s.firstRepresentative = firstRepresentative;
    s.representativeCount = int(representatives_.size()) - firstRepresentative;
    s.firstDeal = firstDeal;
    s.dealCount = int(deals_.size()) - firstDeal;
}

bool BoardStates::locate(const std::vector<Card>& dealt, int& stateIndex, int& gather) const {
    stateIndex = 0;
    SuitPermutation toStored = kIdentitySuits;  // maps the asked board's suits to the stored board's
    for (size_t l = 0; l < dealt.size(); ++l) {
        const DealtBoard& s = levels_[l][stateIndex];
        Card card = relabelCard(dealt[l], toStored);
        const DealtCard* found = nullptr;
        for (int i = 0; i < s.dealCount; ++i)
            if (deals_[s.firstDeal + i].card == card) found = &deals_[s.firstDeal + i];
        if (!found) return false;
        if (found->gather >= 0) {
            SuitPermutation next{};
            for (int suit = 0; suit < 4; ++suit) next[suit] = symmetries_[found->gather][toStored[suit]];
            toStored = next;
        }
        stateIndex = representatives_[s.firstRepresentative + found->representative];
    }
    auto it = std::find(symmetries_.begin(), symmetries_.end(), toStored);
    gather = it == symmetries_.begin() ? -1 : int(it - symmetries_.begin());
    return true;
}

size_t BoardStates::tableBytes() const {
    size_t bytes = 0;
    // A hand in strength order takes its index, its cards and its same combo's position, whether
    // the river state's numbering or a table spells it out.
    const size_t perHand = sizeof(uint16_t) + 2 * sizeof(uint8_t) + sizeof(int16_t);
    for (const ShowdownTable& t : tables_) {
        bytes += sizeof(ShowdownTable) + (t.groupEnd[0].size() + t.groupEnd[1].size()) * sizeof(uint16_t);
        if (t.ranked) bytes += ((*t.ranked)[0].hand.size() + (*t.ranked)[1].hand.size()) * perHand;
    }
    for (int p = 0; p < 2; ++p) bytes += listIndex_[p].size() * perHand;
    return bytes;
}

}  // namespace qv
