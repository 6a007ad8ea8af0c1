// Security identifiers, access-control lists and descriptors.
#include "platform/platform.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

// The grant-everyone attributes a worker's mutex is created with.
TEST(Security, GrantEveryoneDescriptorIsBuiltCheckedAndFreed) {
    SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
    PSID sid = nullptr;
    ASSERT_TRUE(AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &sid));
    ASSERT_TRUE(IsValidSid(sid));
    EXPECT_EQ(GetLengthSid(sid), 12u);
    EXPECT_EQ(static_cast<BYTE *>(sid)[7], 1); // S-1-1-0

    DWORD aclSize = GetLengthSid(sid) + 16;
    auto *acl = static_cast<PACL>(std::malloc(aclSize));
    ASSERT_TRUE(InitializeAcl(acl, aclSize, ACL_REVISION));
    ASSERT_TRUE(AddAccessAllowedAce(acl, ACL_REVISION, GENERIC_ALL, sid));
    EXPECT_TRUE(IsValidAcl(acl));
    EXPECT_EQ(acl->AceCount, 1);
    EXPECT_FALSE(AddAccessAllowedAce(acl, ACL_REVISION, GENERIC_ALL, sid)); // full
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ALLOTTED_SPACE_EXCEEDED));
    FreeSid(sid);

    auto *sd = std::malloc(SECURITY_DESCRIPTOR_MIN_LENGTH);
    ASSERT_TRUE(InitializeSecurityDescriptor(sd, SECURITY_DESCRIPTOR_REVISION));
    ASSERT_TRUE(SetSecurityDescriptorDacl(sd, TRUE, acl, FALSE));
    EXPECT_TRUE(IsValidSecurityDescriptor(sd));
    SECURITY_ATTRIBUTES sa = {sizeof sa, sd, FALSE};
    HANDLE mutex = CreateMutexA(&sa, TRUE, nullptr);
    EXPECT_NE(mutex, nullptr);
    CloseHandle(mutex);

    BOOL present = FALSE, defaulted = TRUE;
    PACL found = nullptr;
    ASSERT_TRUE(GetSecurityDescriptorDacl(sd, &present, &found, &defaulted));
    EXPECT_TRUE(present);
    EXPECT_FALSE(defaulted);
    EXPECT_EQ(found, acl);
    std::free(found);
    std::free(sd);
}

TEST(Security, DamagedPartsAreRefused) {
    SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
    PSID sid = nullptr;
    EXPECT_FALSE(AllocateAndInitializeSid(&world, 9, 0, 0, 0, 0, 0, 0, 0, 0, &sid));
    EXPECT_FALSE(IsValidSid(nullptr));

    alignas(DWORD) BYTE aclBytes[64];
    PACL acl = reinterpret_cast<PACL>(aclBytes);
    EXPECT_FALSE(InitializeAcl(acl, 4, ACL_REVISION));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_FALSE(InitializeAcl(acl, sizeof aclBytes, 3));
    ASSERT_TRUE(InitializeAcl(acl, sizeof aclBytes, ACL_REVISION));
    acl->AceCount = 1; // an entry that is not there
    reinterpret_cast<ACE_HEADER *>(aclBytes + sizeof(ACL))->AceSize = 200;
    EXPECT_FALSE(IsValidAcl(acl));

    alignas(SECURITY_DESCRIPTOR) BYTE sdBytes[SECURITY_DESCRIPTOR_MIN_LENGTH];
    EXPECT_FALSE(InitializeSecurityDescriptor(sdBytes, 2));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_UNKNOWN_REVISION));
    ASSERT_TRUE(InitializeSecurityDescriptor(sdBytes, SECURITY_DESCRIPTOR_REVISION));
    ASSERT_TRUE(SetSecurityDescriptorDacl(sdBytes, TRUE, acl, FALSE));
    EXPECT_FALSE(IsValidSecurityDescriptor(sdBytes));
    ASSERT_TRUE(SetSecurityDescriptorDacl(sdBytes, FALSE, nullptr, FALSE));
    EXPECT_TRUE(IsValidSecurityDescriptor(sdBytes));
    BOOL present = TRUE, defaulted = FALSE;
    PACL found = nullptr;
    EXPECT_TRUE(GetSecurityDescriptorDacl(sdBytes, &present, &found, &defaulted));
    EXPECT_FALSE(present);
}

} // namespace
