# The clip test plays a clip made at build time: 72 x 72 in MS Video 1, one
# second with a red top half and a green bottom half, then one second of blue.
find_program(FFMPEG ffmpeg REQUIRED)
set(VIDEO_TEST_CLIP ${CMAKE_CURRENT_BINARY_DIR}/video_test.avi)
add_custom_command(OUTPUT ${VIDEO_TEST_CLIP}
  COMMAND ${FFMPEG} -v error -y
          -f lavfi -i "color=c=red:s=72x72:d=1:r=10,drawbox=y=36:h=36:w=72:c=lime:t=fill"
          -f lavfi -i "color=c=blue:s=72x72:d=1:r=10"
          -filter_complex "[0][1]concat=n=2:v=1" -c:v msvideo1 -pix_fmt rgb555le ${VIDEO_TEST_CLIP}
  VERBATIM)
add_custom_target(video_test_clip DEPENDS ${VIDEO_TEST_CLIP})

# It also checks the installation's door clips against the thumbnails that
# it carries as the saver does.
tindle_test(video_test SOURCES video_test.cpp $<TARGET_OBJECTS:tindle_thumbnails>
            LIBS e2e_harness TIMEOUT 120)
target_compile_definitions(video_test PRIVATE VIDEO_TEST_CLIP="${VIDEO_TEST_CLIP}"
                           TINDLE_INSTALL_DIR="${TINDLE_INSTALL_DIR}")
add_dependencies(video_test video_test_clip)
