#include "Overlay.h"

#include <cmath>
#include <memory>
#include <numbers>

#include <cairo.h>
#include <fmt/format.h>

#include <Ostrel/Vision/Vision.h>

#include "Report.h"

namespace Ogeo {

using namespace Ostrel::Vision;

namespace {

// Maps a graphic's coordinates into the image's root space. Children placed in "$" add
// the reference point of the graphic that holds them.
struct Mapping {
    std::shared_ptr<Transform2D> transform;
    double dx = 0, dy = 0;

    PixelPoint operator()(double x, double y) const
    {
        PixelPoint p{};
        transform->MapPoint(x + dx, y + dy, p.x, p.y);
        return p;
    }
    // The image of the direction `angle` at (x, y), as an angle in pixels.
    double Direction(double x, double y, double angle) const
    {
        double vx, vy;
        transform->LinearTransform(x + dx, y + dy).MapVector(std::cos(angle), std::sin(angle), vx, vy);
        return std::atan2(vy, vx);
    }
};

constexpr int CircleSteps = 96;
constexpr double ArrowLength = 9, ArrowHalfAngle = 25 * std::numbers::pi / 180;

std::vector<PixelPoint> Sampled(const Mapping& map, int steps, auto&& at)
{
    std::vector<PixelPoint> points;
    for (int i = 0; i <= steps; ++i) {
        double x, y;
        at(static_cast<double>(i) / steps, x, y);
        points.push_back(map(x, y));
    }
    return points;
}

// An arrow head at the end of `points`, pointing along its last step of some length.
SceneItem::Path ArrowHead(const std::vector<PixelPoint>& points)
{
    const auto& tip = points.back();
    for (std::size_t i = points.size() - 1; i-- > 0;) {
        const auto& from = points[i];
        if (std::hypot(tip.x - from.x, tip.y - from.y) < 1e-9)
            continue;
        const double back = std::atan2(from.y - tip.y, from.x - tip.x);
        auto wing = [&](double side) {
            return PixelPoint{tip.x + ArrowLength * std::cos(back + side * ArrowHalfAngle),
                              tip.y + ArrowLength * std::sin(back + side * ArrowHalfAngle)};
        };
        return {{wing(1), tip, wing(-1)}, false, false};
    }
    return {};
}

void AddArrows(SceneItem& item, std::vector<PixelPoint> points, LineSegmentAdornmentConstants start,
               LineSegmentAdornmentConstants end)
{
    if (points.size() < 2)
        return;
    auto add = [&](SceneItem::Path head) {
        if (!head.points.empty())
            item.paths.push_back(std::move(head));
    };
    if (end == LineSegmentAdornmentConstants::Arrow)
        add(ArrowHead(points));
    if (start == LineSegmentAdornmentConstants::Arrow) {
        std::reverse(points.begin(), points.end());
        add(ArrowHead(points));
    }
}

SceneItem::Path MarkerSymbol(PointMarkerGraphicTypeConstants type, PixelPoint c, double rotation, double half,
                             int part)
{
    auto at = [&](double angle, double radius) {
        return PixelPoint{c.x + radius * std::cos(rotation + angle), c.y + radius * std::sin(rotation + angle)};
    };
    using T = PointMarkerGraphicTypeConstants;
    const double quarter = std::numbers::pi / 2;
    switch (type) {
    case T::Square:
        return {{at(quarter / 2, half * std::numbers::sqrt2), at(3 * quarter / 2, half * std::numbers::sqrt2),
                 at(5 * quarter / 2, half * std::numbers::sqrt2), at(7 * quarter / 2, half * std::numbers::sqrt2)},
                true, false};
    case T::Diamond: return {{at(0, half), at(quarter, half), at(2 * quarter, half), at(3 * quarter, half)}, true, false};
    case T::Circle:
    case T::Dot: {
        SceneItem::Path path{{}, true, type == T::Dot};
        const double radius = type == T::Dot ? std::max(2.0, half / 2) : half;
        for (int i = 0; i < 24; ++i)
            path.points.push_back(at(i * std::numbers::pi / 12, radius));
        return path;
    }
    default: return {{at(part * quarter, half), at(part * quarter + 2 * quarter, half)}, false, false};
    }
}

class SceneBuilder {
public:
    SceneBuilder(const IImage& image, std::vector<SceneItem>& scene, std::vector<std::string>* skipped)
        : image_(image), scene_(scene), skipped_(skipped) {}

    // The graphics of one tool's record tree; their titles start with the tool's name.
    void AddTool(const std::string& tool, const Record& record)
    {
        tool_ = tool;
        AddRecord(record);
    }

private:
    void AddRecord(const Record& record)
    {
        if (auto graphic = record.ValueAs<GraphicBase>())
            Add(*graphic, nullptr, record.Key());
        if (auto graphics = record.ContentAs<GraphicCollection>())
            for (const auto& graphic : *graphics)
                Add(*graphic, nullptr, record.Key());
        else if (auto content = record.ContentAs<GraphicBase>())
            Add(*content, nullptr, record.Key());
        for (const auto& sub : record.SubRecords())
            AddRecord(*sub);
    }

    void Add(const GraphicBase& graphic, const std::pair<const GraphicBase*, const Mapping*>* holder,
             const std::string& key)
    {
        Mapping map;
        try {
            const auto& space = graphic.SelectedSpaceName();
            if (space == "$" || space.starts_with("$/")) {
                if (!holder)
                    throw InvalidOperationException("a graphic in \"$\" outside a graphic that holds it");
                map = *holder->second;
                double rx, ry;
                holder->first->GetReferencePoint(rx, ry);
                map.dx += rx;
                map.dy += ry;
            } else
                map.transform = image_.GetTransform("#", image_.ResolveSpaceName(space));
            SceneItem item = Item(graphic, map, key);
            if (!item.paths.empty() || !item.text.empty())
                scene_.push_back(std::move(item));
        } catch (const std::exception& e) {
            if (skipped_)
                skipped_->push_back(fmt::format("{} ({}): {}", key, ShortClassName(graphic), e.what()));
            return;
        }
        const std::pair<const GraphicBase*, const Mapping*> self{&graphic, &map};
        if (auto* composite = dynamic_cast<const CompositeShape*>(&graphic))
            for (const auto& member : composite->Shapes())
                Add(*member, &self, key);
        for (const auto& child : graphic.ChildGraphics())
            Add(*child, &self, key);
    }

    SceneItem Item(const GraphicBase& graphic, const Mapping& map, const std::string& key) const
    {
        SceneItem item;
        item.kind = ShortClassName(graphic);
        item.tip = tool_ + ": " + (graphic.TipText().empty() ? key : graphic.TipText());
        item.color = graphic.Color();
        item.lineWidth = std::max(1, graphic.LineWidthInScreenPixels());
        item.lineStyle = graphic.LineStyle();
        const bool linear = map.transform->IsLinear();
        if (auto* s = dynamic_cast<const LineSegment*>(&graphic)) {
            auto points = Sampled(map, linear ? 1 : 32, [&](double t, double& x, double& y) {
                x = s->StartX() + t * (s->EndX() - s->StartX());
                y = s->StartY() + t * (s->EndY() - s->StartY());
            });
            item.paths.push_back({points, false, false});
            AddArrows(item, points, s->StartPointAdornment(), s->EndPointAdornment());
        } else if (auto* l = dynamic_cast<const Line*>(&graphic)) {
            // Drawn across the image along its tangent at its reference point.
            const auto origin = map(l->X(), l->Y());
            const double angle = map.Direction(l->X(), l->Y(), l->Rotation());
            const double reach = 2.0 * (image_.Width() + image_.Height()) + std::hypot(origin.x, origin.y);
            item.paths.push_back({{{origin.x - reach * std::cos(angle), origin.y - reach * std::sin(angle)},
                                   {origin.x + reach * std::cos(angle), origin.y + reach * std::sin(angle)}},
                                  false,
                                  false});
        } else if (auto* c = dynamic_cast<const Circle*>(&graphic)) {
            item.paths.push_back({Sampled(map, CircleSteps,
                                          [&](double t, double& x, double& y) {
                                              x = c->CenterX() + c->Radius() * std::cos(2 * std::numbers::pi * t);
                                              y = c->CenterY() + c->Radius() * std::sin(2 * std::numbers::pi * t);
                                          }),
                                  true, false});
        } else if (auto* e = dynamic_cast<const Ellipse*>(&graphic)) {
            const double cr = std::cos(e->Rotation()), sr = std::sin(e->Rotation());
            item.paths.push_back({Sampled(map, CircleSteps,
                                          [&](double t, double& x, double& y) {
                                              const double u = e->RadiusX() * std::cos(2 * std::numbers::pi * t);
                                              const double v = e->RadiusY() * std::sin(2 * std::numbers::pi * t);
                                              x = e->CenterX() + cr * u - sr * v;
                                              y = e->CenterY() + sr * u + cr * v;
                                          }),
                                  true, false});
        } else if (auto* a = dynamic_cast<const CircularArc*>(&graphic)) {
            const int steps = std::max(8, static_cast<int>(std::abs(a->AngleSpan()) / (2 * std::numbers::pi) * CircleSteps));
            auto points = Sampled(map, steps, [&](double t, double& x, double& y) {
                const double angle = a->AngleStart() + t * a->AngleSpan();
                x = a->CenterX() + a->Radius() * std::cos(angle);
                y = a->CenterY() + a->Radius() * std::sin(angle);
            });
            item.paths.push_back({points, false, false});
            AddArrows(item, points, a->StartPointAdornment(), a->EndPointAdornment());
        } else if (auto* p = dynamic_cast<const Polygon*>(&graphic)) {
            SceneItem::Path path{{}, true, false};
            const int n = p->NumVertices();
            for (int i = 0; i < n; ++i) {
                const int next = (i + 1) % n;
                auto edge = Sampled(map, linear ? 1 : 16, [&](double t, double& x, double& y) {
                    x = p->VertexX(i) + t * (p->VertexX(next) - p->VertexX(i));
                    y = p->VertexY(i) + t * (p->VertexY(next) - p->VertexY(i));
                });
                path.points.insert(path.points.end(), edge.begin(), edge.end() - 1);
            }
            if (!path.points.empty())
                item.paths.push_back(std::move(path));
        } else if (auto* m = dynamic_cast<const PointMarker*>(&graphic)) {
            const auto centre = map(m->X(), m->Y());
            const double rotation = map.Direction(m->X(), m->Y(), m->Rotation());
            const double half = std::max(3, m->Size()) / 2.0;
            item.paths.push_back(MarkerSymbol(m->GraphicType(), centre, rotation, half, 0));
            if (m->GraphicType() == PointMarkerGraphicTypeConstants::Cross)
                item.paths.push_back(MarkerSymbol(m->GraphicType(), centre, rotation, half, 1));
        } else if (auto* label = dynamic_cast<const GraphicLabel*>(&graphic)) {
            item.text = label->Text();
            item.anchor = map(label->X(), label->Y());
            item.alignment = label->Alignment();
        }
        return item;
    }

    const IImage& image_;
    std::string tool_;
    std::vector<SceneItem>& scene_;
    std::vector<std::string>* skipped_;
};

std::array<double, 4> Rgba(Color32 color)
{
    // Colours stored without alpha (as old archives keep them) are drawn opaque.
    return {color.R / 255.0, color.G / 255.0, color.B / 255.0, color.A == 0 ? 1.0 : color.A / 255.0};
}

std::vector<double> DashPattern(GraphicLineStyleConstants style, double width)
{
    using S = GraphicLineStyleConstants;
    std::vector<double> dashes;
    switch (style) {
    case S::Dash: dashes = {6, 4}; break;
    case S::Dot: dashes = {1.5, 3}; break;
    case S::DashDot: dashes = {6, 3, 1.5, 3}; break;
    case S::DashDotDot: dashes = {6, 3, 1.5, 3, 1.5, 3}; break;
    default: break;
    }
    for (auto& d : dashes)
        d *= width;
    return dashes;
}

constexpr double FontSize = 13;
constexpr const char* FontFamily = "DejaVu Sans";

using Surface = std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)>;

// A surface of the image's size (at least one pixel), ready to be written into.
Surface ImageSizedSurface(cairo_format_t format, const Image8Grey& image)
{
    Surface surface(cairo_image_surface_create(format, std::max(1, image.Width()), std::max(1, image.Height())),
                    &cairo_surface_destroy);
    if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS)
        throw InputError(fmt::format("cannot make a {} x {} picture", image.Width(), image.Height()));
    cairo_surface_flush(surface.get());
    return surface;
}

Surface GreySurface(const Image8Grey& image)
{
    auto surface = ImageSizedSurface(CAIRO_FORMAT_RGB24, image);
    unsigned char* data = cairo_image_surface_get_data(surface.get());
    const int stride = cairo_image_surface_get_stride(surface.get());
    const auto pixels = image.Data();
    for (int y = 0; y < image.Height(); ++y)
        for (int x = 0; x < image.Width(); ++x) {
            const std::uint32_t g = pixels[static_cast<std::size_t>(y) * image.Width() + x];
            const std::uint32_t rgb = g << 16 | g << 8 | g;
            std::memcpy(data + static_cast<std::ptrdiff_t>(y) * stride + 4 * x, &rgb, 4);
        }
    cairo_surface_mark_dirty(surface.get());
    return surface;
}

std::string PngBytes(cairo_surface_t* surface)
{
    std::string bytes;
    const auto status = cairo_surface_write_to_png_stream(
        surface,
        [](void* closure, const unsigned char* data, unsigned int length) {
            static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
            return CAIRO_STATUS_SUCCESS;
        },
        &bytes);
    if (status != CAIRO_STATUS_SUCCESS)
        throw InputError(std::string("cannot encode a PNG: ") + cairo_status_to_string(status));
    return bytes;
}

// Where a label's text starts, given its box and alignment (column: left, centre, right;
// row: top, centre, bottom of the text box).
PixelPoint TextOrigin(const SceneItem& item, double width, double ascent, double descent)
{
    const int alignment = static_cast<int>(item.alignment);
    const int column = alignment % 3, row = alignment / 3;
    const double y = row == 0 ? item.anchor.y + ascent : row == 1 ? item.anchor.y + (ascent - descent) / 2
                                                                  : item.anchor.y - descent;
    return {item.anchor.x - column * width / 2, y};
}

std::string PaintPng(const Image8Grey& image, const std::vector<SceneItem>& scene)
{
    auto surface = GreySurface(image);
    std::unique_ptr<cairo_t, decltype(&cairo_destroy)> owner(cairo_create(surface.get()), &cairo_destroy);
    cairo_t* cr = owner.get();
    // Pixel (i, j) is the unit square centred on (i, j).
    cairo_translate(cr, 0.5, 0.5);
    cairo_select_font_face(cr, FontFamily, CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, FontSize);
    for (const auto& item : scene) {
        const auto [r, g, b, a] = Rgba(item.color);
        cairo_set_source_rgba(cr, r, g, b, a);
        cairo_set_line_width(cr, item.lineWidth);
        for (const auto& path : item.paths) {
            const auto dashes = path.filled ? std::vector<double>{} : DashPattern(item.lineStyle, item.lineWidth);
            cairo_set_dash(cr, dashes.data(), static_cast<int>(dashes.size()), 0);
            cairo_new_path(cr);
            for (const auto& p : path.points)
                cairo_line_to(cr, p.x, p.y);
            if (path.closed)
                cairo_close_path(cr);
            path.filled ? cairo_fill(cr) : cairo_stroke(cr);
        }
        if (!item.text.empty()) {
            cairo_text_extents_t text;
            cairo_font_extents_t font;
            cairo_text_extents(cr, item.text.c_str(), &text);
            cairo_font_extents(cr, &font);
            const auto origin = TextOrigin(item, text.x_advance, font.ascent, font.descent);
            cairo_move_to(cr, origin.x, origin.y);
            cairo_show_text(cr, item.text.c_str());
        }
    }
    cairo_surface_flush(surface.get());
    return PngBytes(surface.get());
}

std::string Escaped(const std::string& text)
{
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += c;
        }
    }
    return out;
}

std::string Base64(const std::string& bytes)
{
    static constexpr char digits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        std::uint32_t chunk = static_cast<std::uint8_t>(bytes[i]) << 16;
        if (i + 1 < bytes.size())
            chunk |= static_cast<std::uint8_t>(bytes[i + 1]) << 8;
        if (i + 2 < bytes.size())
            chunk |= static_cast<std::uint8_t>(bytes[i + 2]);
        out += digits[chunk >> 18 & 63];
        out += digits[chunk >> 12 & 63];
        out += i + 1 < bytes.size() ? digits[chunk >> 6 & 63] : '=';
        out += i + 2 < bytes.size() ? digits[chunk & 63] : '=';
    }
    return out;
}

// SVG is written directly rather than through cairo's SVG surface, which cannot attach a
// <title> to what it draws; each graphic is one <g> with its tip text as title, over the
// image embedded as a PNG.
std::string PaintSvg(const Image8Grey& image, const std::vector<SceneItem>& scene)
{
    auto surface = GreySurface(image);
    std::string svg = fmt::format(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\" width=\"{0}\" "
        "height=\"{1}\" viewBox=\"0 0 {0} {1}\">\n"
        "<image width=\"{0}\" height=\"{1}\" xlink:href=\"data:image/png;base64,{2}\"/>\n"
        "<g transform=\"translate(0.5 0.5)\" font-family=\"{3}\" font-size=\"{4}\">\n",
        image.Width(), image.Height(), Base64(PngBytes(surface.get())), FontFamily, FontSize);
    for (const auto& item : scene) {
        const auto [r, g, b, a] = Rgba(item.color);
        const auto colour = fmt::format("rgb({},{},{})", item.color.R, item.color.G, item.color.B);
        svg += fmt::format("<g class=\"graphic\" data-kind=\"{}\"><title>{}</title>", item.kind, Escaped(item.tip));
        for (const auto& path : item.paths) {
            std::string d;
            for (std::size_t i = 0; i < path.points.size(); ++i)
                d += fmt::format("{}{:.3f} {:.3f} ", i ? "L" : "M", path.points[i].x, path.points[i].y);
            if (path.closed)
                d += "Z";
            std::string dashes;
            for (double dash : DashPattern(item.lineStyle, item.lineWidth))
                dashes += fmt::format("{}{:g}", dashes.empty() ? "" : ",", dash);
            svg += path.filled ? fmt::format("<path d=\"{}\" fill=\"{}\" fill-opacity=\"{:g}\"/>", d, colour, a)
                               : fmt::format("<path d=\"{}\" fill=\"none\" stroke=\"{}\" stroke-opacity=\"{:g}\" "
                                             "stroke-width=\"{:g}\"{}/>",
                                             d, colour, a, item.lineWidth,
                                             dashes.empty() ? "" : " stroke-dasharray=\"" + dashes + "\"");
        }
        if (!item.text.empty()) {
            const int alignment = static_cast<int>(item.alignment);
            static constexpr const char* anchors[] = {"start", "middle", "end"};
            static constexpr const char* baselines[] = {"text-before-edge", "central", "text-after-edge"};
            svg += fmt::format("<text x=\"{:.3f}\" y=\"{:.3f}\" fill=\"{}\" fill-opacity=\"{:g}\" text-anchor=\"{}\" "
                               "dominant-baseline=\"{}\">{}</text>",
                               item.anchor.x, item.anchor.y, colour, a, anchors[alignment % 3],
                               baselines[alignment / 3], Escaped(item.text));
        }
        svg += "</g>\n";
    }
    return svg + "</g>\n</svg>\n";
}

} // namespace

std::vector<SceneItem> BuildScene(Block& block, std::vector<std::string>* skipped)
{
    std::vector<SceneItem> scene;
    SceneBuilder builder(*block.image, scene, skipped);
    for (int index : block.order)
        builder.AddTool(block.tools[index].name, *block.tools[index].tool->CreateLastRunRecord());
    return scene;
}

void WriteOverlay(const std::filesystem::path& file, const Image8Grey& image, const std::vector<SceneItem>& scene)
{
    const auto extension = file.extension().string();
    if (extension == ".png")
        WriteFileAtomically(file, PaintPng(image, scene));
    else if (extension == ".svg")
        WriteFileAtomically(file, PaintSvg(image, scene));
    else
        throw InputError(file.string(), "", "an overlay is a .png or an .svg file");
}

// An 8-bit grey PNG (cairo writes an alpha-only surface as one): a third of the bytes of
// an RGB picture, to write and to decode again.
void WritePng(const std::filesystem::path& file, const Image8Grey& image)
{
    auto surface = ImageSizedSurface(CAIRO_FORMAT_A8, image);
    unsigned char* data = cairo_image_surface_get_data(surface.get());
    const int stride = cairo_image_surface_get_stride(surface.get());
    for (int y = 0; y < image.Height(); ++y)
        std::memcpy(data + static_cast<std::ptrdiff_t>(y) * stride,
                    image.Data().data() + static_cast<std::size_t>(y) * image.Width(), image.Width());
    cairo_surface_mark_dirty(surface.get());
    WriteFileAtomically(file, PngBytes(surface.get()));
}

} // namespace Ogeo
