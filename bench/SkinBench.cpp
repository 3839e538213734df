// Loading the skin is on the start-up path: reads a skin of 500 controls
// (with looks, look lists and creation parameters) into fresh descriptors.
#include <benchmark/benchmark.h>

#include <string>

#include "ResourceModule.h"
#include "SkinDocumentLoader.h"

namespace {

class NoResources : public Platform::ResourceModule {
public:
    std::string GetFilePath() const override { return {}; }
    std::optional<Platform::ResourceBytes> FindResource(std::string_view, std::string_view) const override
    {
        return std::nullopt;
    }
};

// 10 panels of 49 children each, plus the panels and a root of ten more.
std::string MakeSkin(int controls)
{
    std::string xml =
        "<Corvane_Skin_Definitions><Application Name='Bench'/><Colorizers>"
        "<Colorizer Name='c' ColorType='SolidFill' Color='0xFF202020'/></Colorizers><Parts>"
        "<Part Name='p' Width='4' Height='4' ResizeType='Stretch' ColorizerName='c'/></Parts><Looks>"
        "<Look Name='l'><ClientPart Name='p' OffsetLeft='1' OffsetTop='1' OffsetRight='1' OffsetBottom='1'/>"
        "<TextProperties TextLeftRel='0' TextLeftAbs='2' TextRightRel='1' TextRightAbs='-2' TextHAlign='0.5' "
        "TextTopRel='0' TextTopAbs='0' TextBottomRel='1' TextBottomAbs='0' TextVAlign='0.5' "
        "TextForegroundPart='p'/></Look></Looks><LookLists><LookList Name='ll' NumLooks='2'>"
        "<Look Name='l' Index='0'/><Look Name='l' Index='1'/></LookList></LookLists>"
        "<Skins><Skin Name='Skin1' FontName='DejaVu Sans' FontSize='9'>";
    const int panels = 10;
    const int perPanel = controls / panels - 1;
    for (int p = 0; p < panels; ++p) {
        xml += "<SubControl Class='Bench.Panel' Name='panel" + std::to_string(p) +
               "' XSizeToControl='Parent' XSizeRel='1'><Skin Name='s' LookList='ll'/>";
        for (int c = 0; c < perPanel; ++c) {
            xml += "<SubControl Class='Bench.Button' Name='button" + std::to_string(c) + "' LayoutOrder='" +
                   std::to_string(perPanel - c) +
                   "' XPositionToControl='Parent' XPositionRel='0.5' XPositionAbs='4' YSizeAbs='20' "
                   "FontSize='8' TabStop='1'><Skin Name='b' LookList='ll'/><CreateParamList>"
                   "<CreateParam ID='INITIAL_VALUE' Type='Real'>0.5</CreateParam></CreateParamList></SubControl>";
        }
        xml += "</SubControl>";
    }
    return xml + "</Skin></Skins></Corvane_Skin_Definitions>";
}

void BM_LoadSkinOf500Controls(benchmark::State& state)
{
    const std::string xml = MakeSkin(500);
    NoResources module;
    for (auto _ : state) {
        QV::SkinStore store;
        QV::SkinDocumentLoader loader(store, module);
        if (loader.ParseSkin(xml.data(), xml.size(), QV::String(u"bench")) != QV::S_OK) {
            state.SkipWithError("the skin did not load");
            break;
        }
        benchmark::DoNotOptimize(store.FindControlDescriptor(QV::String(u"panel9")));
    }
    state.SetItemsProcessed(state.iterations() * 500);
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(xml.size()));
}
BENCHMARK(BM_LoadSkinOf500Controls)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
