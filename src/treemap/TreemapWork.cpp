#include "treemap/TreemapWork.h"

namespace vm {

TTreemapWork::TTreemapWork(std::unique_ptr<TLogTreeBuilder> builder, TCellRect bounds,
                           const TFrameMetrics& metrics)
    : builder_(std::move(builder)), bounds_(bounds), metrics_(metrics)
{
}

TTreemapWork::TTreemapWork(std::unique_ptr<TComparisonTreeBuilder> builder, TCellRect bounds,
                           const TFrameMetrics& metrics)
    : builder_(std::move(builder)), bounds_(bounds), metrics_(metrics)
{
}

bool TTreemapWork::TreeRead() const
{
    return std::visit([](const auto& b) { return b->Done(); }, builder_);
}

const TSizeTree& TTreemapWork::Tree() const
{
    return std::visit([](const auto& b) -> const TSizeTree& { return b->Tree(); }, builder_);
}

const std::string& TTreemapWork::Damage() const
{
    return std::visit([](const auto& b) -> const std::string& { return b->Damage(); }, builder_);
}

std::vector<TNodeIndex> TTreemapWork::LargestGrowth() const
{
    if (auto* c = std::get_if<std::unique_ptr<TComparisonTreeBuilder>>(&builder_))
        return (*c)->LargestGrowth();
    return {};
}

bool TTreemapWork::Step(size_t budget)
{
    if (!TreeRead()) {
        std::visit([budget](auto& b) { b->Step(budget); }, builder_);
        if (!TreeRead())
            return true;
        layout_.emplace(Tree(), 0, bounds_, metrics_);
        return !layout_->Done();
    }
    if (!layout_)
        layout_.emplace(Tree(), 0, bounds_, metrics_);
    return layout_->Step(budget);
}

void TTreemapWork::Resize(TCellRect bounds)
{
    bounds_ = bounds;
    if (TreeRead())
        layout_.emplace(Tree(), 0, bounds_, metrics_);
}

} // namespace vm
