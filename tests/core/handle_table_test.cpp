#include "core/handle_table.h"

#include <gtest/gtest.h>

namespace owl {
namespace {

int g_objects[8];

TEST(HandleTable, IndicesSerialsAndHintReuse) {
  HandleTable t;
  const uint32_t canvas = t.Alloc(kTagCanvas, &g_objects[0]);
  EXPECT_EQ(canvas, 0x01010001u);
  EXPECT_EQ(t.Alloc(kTagTexture, &g_objects[1]), 0x01050002u);
  EXPECT_TRUE(t.Free(canvas));
  EXPECT_EQ(t.Get(canvas), nullptr);
  EXPECT_FALSE(t.Free(canvas));
  EXPECT_EQ(t.Alloc(kTagCanvas, &g_objects[2]), 0x02010001u);
  EXPECT_EQ(t.Get(canvas), nullptr);
}

TEST(HandleTable, MostRecentlyFreedFirstThenLowest) {
  HandleTable t;
  uint32_t h[8];
  for (int i = 1; i <= 7; ++i) h[i] = t.Alloc(kTagTexture, &g_objects[i]);
  ASSERT_TRUE(t.Free(h[3]));
  ASSERT_TRUE(t.Free(h[7]));
  EXPECT_EQ(t.Alloc(kTagTexture, &g_objects[0]) & 0xFFFF, 7u);
  EXPECT_EQ(t.Alloc(kTagTexture, &g_objects[0]) & 0xFFFF, 3u);
}

TEST(HandleTable, IndexZeroAndForgedValuesNeverResolve) {
  HandleTable t;
  const uint32_t h = t.Alloc(kTagCanvas, &g_objects[0]);
  for (uint32_t forged : {0u, 0x01000000u, 0x01010000u, 0x0101FFFFu, 0x01018000u, h + 1,
                          h ^ 0x01000000u, (h & 0xFFFF) | 0x01050000u, 0x01000002u}) {
    EXPECT_EQ(t.Get(forged), nullptr) << std::hex << forged;
    EXPECT_FALSE(t.Free(forged)) << std::hex << forged;
  }
  EXPECT_EQ(t.Get(h), &g_objects[0]);
}

TEST(HandleTable, SerialWrapsAfter256Frees) {
  HandleTable t;
  const uint32_t first = t.Alloc(kTagCanvas, &g_objects[0]);
  uint32_t h = first;
  for (int i = 0; i < 256; ++i) {
    ASSERT_TRUE(t.Free(h));
    h = t.Alloc(kTagCanvas, &g_objects[0]);
  }
  EXPECT_EQ(h, first);  // serial 1 again: the old handle resolves to the new occupant
}

TEST(HandleTable, FullTableRefusesThenFreesExactlyOneIndex) {
  HandleTable t;
  for (uint32_t i = 1; i < HandleTable::kCapacity; ++i) ASSERT_NE(t.Alloc(kTagTexture, &g_objects[0]), 0u);
  EXPECT_EQ(t.Alloc(kTagCanvas, &g_objects[0]), 0u);
  ASSERT_TRUE(t.Free(0x01050000u | 1234));
  EXPECT_EQ(t.Alloc(kTagCanvas, &g_objects[0]), 0x020104D2u);  // index 1234, serial 2
  EXPECT_EQ(t.Alloc(kTagCanvas, &g_objects[0]), 0u);
}

TEST(HandleTable, TypedLookupChecksTagFirst) {
  // Through the library's own table: a canvas handle is not a texture.
  const HGCANVAS c = CreateCanvas(2, 2, HGCANVAS(0u));
  ASSERT_NE(c.value, 0u);
  EXPECT_NE(CanvasFromHandle(c), nullptr);
  EXPECT_EQ(TextureFromHandle(HGTEXTURE(c.value)), nullptr);
  EXPECT_EQ(DeleteTexture(HGTEXTURE(c.value)), 0);
  EXPECT_EQ(DeleteCanvas(c), 1);
}

}  // namespace
}  // namespace owl
