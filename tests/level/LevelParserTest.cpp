// The level source parser: what it builds from good statements, and the file and line it names for bad ones.
#include "tools/levelc/XLevelError.h"
#include "tools/levelc/XLevelParser.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const char* const kHead = "material stone stone_wall.jpg 4\n"
                          "spawn 0 0 0\n";

// The line number an XLevelError reports for the text, or -1 when it parses.
int ErrorLine(const std::string& text, std::string* message = nullptr)
{
    try {
        XLevelParser::Parse(text, "bad.level");
    } catch (const XLevelError& error) {
        if (message != nullptr) {
            *message = error.what();
        }
        return error.Line();
    }
    return -1;
}

} // namespace

TEST(LevelSourceStatements, ShapesBecomeTheirSolids)
{
    const XLevelSource level = XLevelParser::Parse(std::string(kHead) +
                                                       "box 0 0 0 1 1 1 mat stone\n"
                                                       "stairs 0 0 0 4 2 10 up +z steps 5 mat stone\n"
                                                       "pillar 0 0 0 4 radius 1 sides 6 mat stone\n"
                                                       "arch 0 0 0 1 10 8 across x width 4 spring 3 segments 4 mat stone\n",
                                                   "good.level");
    // 1 box, 5 steps, 1 pillar, 2 jambs and 4 arch pieces.
    ASSERT_EQ(level.solids.size(), 13u);
    EXPECT_EQ(level.solids[0].Faces().size(), 6u);
    EXPECT_EQ(level.solids[6].Faces().size(), 8u); // a six-sided prism has two caps
    // The last step reaches the stated top, the first one a fifth of it.
    EXPECT_DOUBLE_EQ(level.solids[1].Max().y, 0.4);
    EXPECT_DOUBLE_EQ(level.solids[5].Max().y, 2.0);
}

TEST(LevelSourceStatements, EveryFaceOfASolidFacesOutwards)
{
    const XLevelSource level = XLevelParser::Parse(std::string(kHead) +
                                                       "wedge 0 0 0 4 3 6 up -z mat stone\n"
                                                       "pillar 5 5 0 2 radius 1 sides 5 mat stone\n",
                                                   "good.level");
    for (const XSolid& solid : level.solids) {
        XVector3d centre;
        for (const XSolidFace& face : solid.Faces()) {
            centre = centre + face.polygon.Centroid() / static_cast<double>(solid.Faces().size());
        }
        for (const XSolidFace& face : solid.Faces()) {
            EXPECT_GT(face.plane.SignedDistance(face.polygon.Centroid() + face.plane.normal * 0.1), 0.0);
            EXPECT_LT(face.plane.SignedDistance(centre), 0.0) << "line " << solid.SourceLine();
            // The winding agrees with the plane's normal.
            EXPECT_GT(Dot(face.polygon.Normal(), face.plane.normal), 0.999);
        }
    }
}

TEST(LevelSourceStatements, MaterialsFollowTheWayFacesLook)
{
    const XLevelSource level = XLevelParser::Parse(std::string(kHead) +
                                                       "material wood wood.jpg 4\n"
                                                       "material rock rock.jpg 4\n"
                                                       "box 0 0 0 1 1 1 top wood side rock bottom stone\n",
                                                   "good.level");
    for (const XSolidFace& face : level.solids[0].Faces()) {
        const int expected = face.plane.normal.y > 0.5 ? 1 : (face.plane.normal.y < -0.5 ? 0 : 2);
        EXPECT_EQ(face.material, expected);
    }
}

TEST(LevelSourceErrors, NameTheLineOfTheProblem)
{
    std::string message;
    EXPECT_EQ(ErrorLine(std::string(kHead) + "box 0 0 0 1 1 1 mat stone\nbox 0 0 0 1 x 1 mat stone\n", &message), 4);
    EXPECT_NE(message.find("bad.level:4:"), std::string::npos) << message;
    EXPECT_NE(message.find("'x' is not a number"), std::string::npos) << message;
    EXPECT_EQ(ErrorLine(std::string(kHead) + "\n\n# a comment\nboks 0 0 0 1 1 1 mat stone\n", &message), 6);
    EXPECT_NE(message.find("unknown statement 'boks'"), std::string::npos) << message;
}

TEST(LevelSourceErrors, CatchWrongShapes)
{
    EXPECT_EQ(ErrorLine(std::string(kHead) + "box 0 0 0 1 1 1 mat granite\n"), 3);  // unknown material
    EXPECT_EQ(ErrorLine(std::string(kHead) + "box 1 0 0 0 1 1 mat stone\n"), 3);    // corners swapped
    EXPECT_EQ(ErrorLine(std::string(kHead) + "box 0 0 0 1 1 1\n"), 3);              // no material
    EXPECT_EQ(ErrorLine(std::string(kHead) + "box 0 0 0 1 1 mat stone\n"), 3);      // a coordinate short
    EXPECT_EQ(ErrorLine(std::string(kHead) + "wedge 0 0 0 1 1 1 mat stone\n"), 3);  // no direction
    EXPECT_EQ(ErrorLine(std::string(kHead) + "wedge 0 0 0 1 1 1 up +y mat stone\n"), 3);
    EXPECT_EQ(ErrorLine(std::string(kHead) + "stairs 0 0 0 1 1 1 up +x steps 0 mat stone\n"), 3);
    EXPECT_EQ(ErrorLine(std::string(kHead) + "pillar 0 0 0 1 radius 1 sides 2 mat stone\n"), 3);
    EXPECT_EQ(ErrorLine(std::string(kHead) + "doorway 0 0 0 1 5 4 across x width 6 height 3 mat stone\n"), 3);
    EXPECT_EQ(ErrorLine(std::string(kHead) + "arch 0 0 0 1 5 8 across z width 4 spring 4 segments 4 mat stone\n"), 3);
    EXPECT_EQ(ErrorLine(std::string(kHead) + "box 0 0 0 1 1 1 mat stone colour red\n"), 3);
}

TEST(LevelSourceErrors, CatchWrongSettingsAndLights)
{
    EXPECT_EQ(ErrorLine(std::string(kHead) + "page 300\n"), 3);
    EXPECT_EQ(ErrorLine(std::string(kHead) + "texel 0\n"), 3);
    EXPECT_EQ(ErrorLine(std::string(kHead) + "sun 0 1 0 color 1 1 1\n"), 3);  // shines upwards
    EXPECT_EQ(ErrorLine(std::string(kHead) + "light 0 1 0 color 2 1 1 radius 5\n"), 3);
    EXPECT_EQ(ErrorLine(std::string(kHead) + "light 0 1 0 colour 1 1 1 radius 5\n"), 3);
    EXPECT_EQ(ErrorLine(std::string(kHead) + "material stone brick.jpg 4\n"), 3); // declared twice
    EXPECT_EQ(ErrorLine(std::string(kHead) + "material tiles tiles.png 4\n"), 3);  // not jpg or bmp
}

TEST(LevelSourceErrors, CatchMissingWholeFileParts)
{
    EXPECT_EQ(ErrorLine("material stone stone.jpg 4\nbox 0 0 0 1 1 1 mat stone\n"), 0); // no spawn
    EXPECT_EQ(ErrorLine("spawn 0 0 0\n"), 0);                                           // no solids
    EXPECT_THROW(XLevelParser::ParseFile("/nonexistent/level.level"), XLevelError);
}
