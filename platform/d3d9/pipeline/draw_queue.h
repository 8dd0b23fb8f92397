// Deferred drawing: primitives leave the pipeline as screen-space vertices and
// are kept, with a copy of their draw's configuration, until the device needs
// the pixels (end of scene, present, a lock, a copy). Flush then splits the
// rows they touch into horizontal bands and draws the bands on the worker
// pool; each band replays every primitive in order, so every pixel sees the
// same operations in the same order as drawing at once would give.
#pragma once

#include <cstdint>
#include <memory>
#include <unordered_set>
#include <utility>
#include <vector>

#include "platform/d3d9/pipeline/pipeline_types.h"
#include "platform/d3d9/pipeline/worker_pool.h"

namespace plat::d3d9 {

class DrawQueue {
  public:
    // Mip levels kept per sampler (a 16384-texel edge has 15).
    static constexpr int kMaxLevels = 16;

    // Starts recording a draw with `config` (copied, levels included).
    void BeginDraw(const PixelConfig& config);
    void Triangle(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c,
                  const ScreenVertex& flat);
    void Line(const ScreenVertex& a, const ScreenVertex& b, bool last);
    void Point(const ScreenVertex& v);
    // Fills `rect` (already inside both targets) of the colour and/or depth target.
    void Clear(const ColorTarget* color, uint32_t argb, const DepthTarget* depth, float z, const RECT& rect);

    bool Empty() const { return m_prims.empty(); }
    // Primitives and clears waiting (a merged rectangle counts once).
    size_t Pending() const { return m_prims.size(); }
    // True when a pending primitive or clear writes the pixel memory `pixels`.
    bool Writes(const void* pixels) const;

    // Draws everything pending and empties the queue.
    void Flush() { Flush(WorkerPool::Shared()); }
    void Flush(WorkerPool& pool);

    // Keeping unchanged bands (draw_queue_reuse.cpp): a flush whose work into a
    // target repeats the previous flush's band for band keeps those bands'
    // pixels instead of drawing them again. On by default; off draws everything.
    void SetReuse(bool on);
    // Pixels may have changed outside the queue (a lock, a copy, new buffers):
    // nothing drawn before counts as known any more.
    void ForgetDrawn();
    // Rows [first, second) of colour target `pixels` written since the last call
    // for it; false when that is not known (first call, another target, pixels
    // changed outside the queue): then all of it counts as changed.
    bool TakeChangedRows(const void* pixels, std::vector<std::pair<int, int>>& rows);
    // Bands the last flush drew and kept (tests, statistics).
    int LastDrawnBands() const;
    int LastKeptBands() const;

    DrawQueue();
    ~DrawQueue();
    DrawQueue(const DrawQueue&) = delete;
    DrawQueue& operator=(const DrawQueue&) = delete;

    // Work (in pixels of bounding boxes) below which Flush draws on the calling
    // thread alone: waking a thread costs more than drawing a line of text.
    void SetParallelThreshold(uint64_t pixels) { m_parallelThreshold = pixels; }

  private:
    // kTrianglePair: two triangles sharing a diagonal that cover an axis-aligned rectangle once but
    // whose values are not one plane (a four-colour gradient); drawn as the two triangles, known to
    // cover the rectangle.
    enum Kind : uint8_t { kTriangle, kRectangle, kTrianglePair, kLine, kPoint, kClear };
    struct Primitive {
        Kind kind;
        bool last;        // lines: the end pixel is drawn
        uint32_t config;  // index into m_configs (clears: into m_clears)
        int top, bottom;  // rows the primitive may touch, [top, bottom)
        uint32_t vertex;  // first of its vertices in m_vertices
    };
    struct ConfigRecord {
        PixelConfig config;
        ImageLevel levels[kPipelineTexStages][kMaxLevels];
    };
    struct ClearOp {
        ColorTarget color;
        DepthTarget depth;
        uint32_t argb;
        float z;
        RECT rect;
    };

    // Records a primitive spanning rows [top, bottom) (before clipping) and
    // `count` vertices; false when it lies outside the clip rectangle.
    bool Add(Kind kind, float minX, float maxX, float minY, float maxY, bool last);
    // True when the last primitive is a triangle that, with a-b-c, makes an
    // axis-aligned rectangle with planar values; it then becomes that rectangle.
    // When the values are not planar but the two triangles still cover the rectangle once, the last
    // primitive becomes a triangle pair with a-b-c as its second triangle.
    bool MergeIntoRectangle(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c);
    // Makes the last primitive, a triangle that with a-b-c covers a rectangle once, that rectangle
    // (`planar` values) or a triangle pair. True.
    bool Merged(Primitive& last, bool planar, const ScreenVertex& a, const ScreenVertex& b,
                const ScreenVertex& c);
    // True when primitive `p` replaces every pixel of the clear's colour rectangle in rows
    // [top, bottom), whatever the pixel held: the clear's colour fill there is never seen.
    bool OverwritesClear(const Primitive& p, const ClearOp& op, int top, int bottom) const;
    void AddTarget(const void* pixels);
    bool Sampled(const void* pixels) const;
    void DrawBand(int top, int bottom) const;
    static void DrawBandTask(void* self, int band);
    // Draws pending work keeping unchanged bands; false when the work is not of
    // a shape whose bands can be kept (then the caller draws it all).
    bool DrawReusing(WorkerPool& pool);
    // After drawing everything: records what changed and keeps the work for the next flush.
    void AfterFlush(bool reused);
    static void DrawListedBandTask(void* self, int index);

    std::vector<ConfigRecord> m_configs;
    PixelConfig m_lastSeen{};  // byte copy of the configuration m_configs.back() came from
    std::vector<Primitive> m_prims;
    std::vector<ScreenVertex> m_vertices;
    std::vector<ClearOp> m_clears;
    std::vector<const void*> m_targets;  // pixel memory pending work writes (a few entries)
    // Texture levels pending work reads: a set, since a frame may sample
    // thousands of textures and every draw asks about its targets.
    std::unordered_set<const void*> m_sampled;
    // A pending draw samples its own target: bands would read rows other bands write.
    bool m_oneBand = false;
    int m_top = 0, m_bottom = 0;  // rows touched by pending work
    uint64_t m_work = 0;
    uint64_t m_parallelThreshold = 24 * 1024;
    // Band geometry of the flush in progress.
    int m_bandTop = 0, m_bandHeight = 0, m_bandCount = 0;

    struct Reuse;                    // previous work per target, changed rows (draw_queue_reuse.cpp)
    std::unique_ptr<Reuse> m_reuse;  // the fields above stay as the drawing code knows them
};

}  // namespace plat::d3d9
